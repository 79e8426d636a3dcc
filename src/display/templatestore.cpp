#include "templatestore.h"

#include "db/sqltext.h"

#include <algorithm>
#include <limits>

namespace {
template <typename T> T narrow(qint64 v) {
    // Values outside the field's width wrap as a plain conversion would not: clamp.
    return T(std::clamp<qint64>(v, qint64(std::numeric_limits<T>::min()), qint64(std::numeric_limits<T>::max())));
}
} // namespace

int LoadTemplateRows(SqlDatabase& db, const QString& name, Template& current) {
    SqlStatement st =
        db.prepare(QStringLiteral("select * from PoetrySet Where fModel =%1 Order By fID").arg(sqlText(name)));
    int k = 0;
    const int cName = st.columnIndex(QStringLiteral("fFontName"));
    const int cSize = st.columnIndex(QStringLiteral("fFontSize"));
    const int cBold = st.columnIndex(QStringLiteral("fFontBold"));
    const int cItalic = st.columnIndex(QStringLiteral("fFontItalic"));
    const int cUnderline = st.columnIndex(QStringLiteral("fFontUnderline"));
    const int cColor = st.columnIndex(QStringLiteral("fFontColor"));
    const int cAlign = st.columnIndex(QStringLiteral("fAlign"));
    const int cIndent = st.columnIndex(QStringLiteral("fIndent"));
    const int cHanging = st.columnIndex(QStringLiteral("fHangingIndent"));
    const int cOffset = st.columnIndex(QStringLiteral("fOffset"));
    while (k < kTemplateLineCount && st.next()) {
        TemplateLine& l = current[size_t(k)];
        l.FontName = st.text(cName);
        l.FontSize = narrow<quint8>(st.int64(cSize));
        l.FontBold = narrow<quint8>(st.int64(cBold));
        l.FontItalic = narrow<quint8>(st.int64(cItalic));
        l.FontUnderline = narrow<quint8>(st.int64(cUnderline));
        l.FontColor = narrow<qint32>(st.int64(cColor));
        l.Align = narrow<quint8>(st.int64(cAlign));
        l.Indent = narrow<qint16>(st.int64(cIndent));
        l.HangingIndent = narrow<qint16>(st.int64(cHanging));
        l.Offset = narrow<qint16>(st.int64(cOffset));
        ++k;
    }
    if (k == 0) current = DefaultTemplate();
    return k;
}

QStringList StoredTemplateNames(SqlDatabase& db) {
    QStringList names;
    SqlStatement st = db.prepare(QStringLiteral("select distinct fModel from PoetrySet"));
    while (st.next()) names << st.text(0);
    return names;
}

void DeleteTemplate(SqlDatabase& db, const QString& name) {
    SqlStatement st = db.prepare(QStringLiteral("Delete from PoetrySet Where fModel=?1"));
    st.bind(1, name.isNull() ? QStringLiteral("") : name);
    st.next();
}
