#include "fixture.h"

#include "db/schema.h"

FixtureDb::FixtureDb() : m_dir(std::make_unique<QTemporaryDir>()) {
    m_path = m_dir->filePath(QStringLiteral("poem.mdb"));
    m_db.open(m_path, false, true);
    createPoemSchema(m_db);
}

void FixtureDb::fillSample() {
    const char* const rows[] = {
        "INSERT INTO PoetDynasty VALUES ('唐',6),('五代',7),('宋',8),('先秦',1)",
        "INSERT INTO Poetry (fPoemID,fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty) VALUES "
        "(1,-1,'诗','五言绝句','李白','唐','静夜思','','床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。','思乡之作。',1),"
        "(2,-1,'诗','七言绝句','李白','唐','早发白帝城','','朝辞白帝彩云间，千里江陵一日还。\r\n两岸猿声啼不住，轻舟已过万重山。','',1),"
        "(3,-1,'诗','五言律诗','杜甫','唐','春望','','国破山河在，城春草木深。\r\n感时花溅泪，恨别鸟惊心。','',1),"
        "(4,-1,'词','念奴娇','苏轼','宋','念奴娇·赤壁怀古','','大江东去，浪淘尽，千古风流人物。','',1),"
        "(5,-1,'词','水调歌头','苏轼','宋','水调歌头','丙辰中秋，欢饮达旦。','明月几时有？把酒问青天。','',1),"
        "(6,-1,NULL,NULL,'无名氏','','无题','','床前明月光，不知何处来。',NULL,2),"
        "(7,-1,'','','李商隐','唐','无题','','相见时难别亦难，东风无力百花残。','',1),"
        "(8,-1,'诗','七言律诗','杜甫','唐','登高','','风急天高猿啸哀，渚清沙白鸟飞回。','',1),"
        "(9,-1,'诗','乐府','Li Bai','唐','Moon''s Song','','O moon, 100% bright_ly.','',3)",
        "INSERT INTO Poet (fPoet,fBrief) VALUES ('李白','字太白，号青莲居士。'),('杜甫','字子美。'),"
        "('苏轼','字子瞻，号东坡居士。'),('李商隐',NULL)",
        "INSERT INTO PoetBook (fBookID,fBook,fBookOrderID,fBookSelected) VALUES "
        "(1,'唐诗选',1,1),(2,'宋词选',0,1),(3,'隐藏',2,0),(4,'',3,1)",
        "UPDATE Poetry SET fBookID=1 WHERE fPoemID IN (1,2,3)",
        "UPDATE Poetry SET fBookmark=3 WHERE fPoemID=4",
        "UPDATE Poetry SET fBookmark=5 WHERE fPoemID=1",
        "INSERT INTO hzPy (hz,py1,py2) VALUES ('行','xíng',1),('行','háng',2),('月','yuè',1),('明','míng',1)",
        "INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,fFontColor,"
        "fAlign,fIndent,fHangingIndent,fOffset) VALUES "
        "('1# 标准模板',0,'黑体',16,1,0,0,255,2,0,0,0),('1# 标准模板',1,'楷体',11,0,0,0,0,0,0,0,0),"
        "('1# 标准模板',2,'楷体',11,0,0,0,0,0,2,0,0),('1# 标准模板',3,'宋体',14,0,0,0,0,0,2,0,0),"
        "('1# 标准模板',4,'宋体',10,0,0,0,0,0,0,0,0)",
    };
    for (const char* sql : rows) m_db.execNative(QString::fromUtf8(sql));
}

qint64 FixtureDb::count(const QString& nativeSql) {
    SqlStatement st = m_db.prepareNative(nativeSql);
    return st.next() ? st.int64(0) : -1;
}

QString FixtureDb::text(const QString& nativeSql) {
    SqlStatement st = m_db.prepareNative(nativeSql);
    return st.next() ? st.text(0) : QString();
}
