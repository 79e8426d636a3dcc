#include "display/templatewriter.h"

#include "db/sqltext.h"

// Statements are joined piece by piece rather than with QString::arg: a face or
// template name holding "%1" must reach the store as written.
namespace {
QString n(qint64 v) { return QString::number(v); }
} // namespace

QString TemplateUpdateSql(const TemplateLine& l, const QString& name, int kind) {
    return QStringLiteral("Update PoetrySet Set fFontName=") + sqlText(l.FontName) + QStringLiteral(",fFontSize=") +
           n(l.FontSize) + QStringLiteral(",fFontBold=") + n(l.FontBold) + QStringLiteral(",fFontItalic=") +
           n(l.FontItalic) + QStringLiteral(",fFontUnderline=") + n(l.FontUnderline) + QStringLiteral(",fFontColor=") +
           n(l.FontColor) + QStringLiteral(",fAlign=") + n(l.Align) + QStringLiteral(",fIndent=") + n(l.Indent) +
           QStringLiteral(",fHangingIndent=") + n(l.HangingIndent) + QStringLiteral(",fOffset=") + n(l.Offset) +
           QStringLiteral(" Where fModel =") + sqlText(name) + QStringLiteral(" And fID=") + n(kind);
}

QString TemplateInsertSql(const TemplateLine& l, const QString& name, int kind) {
    return QStringLiteral("Insert Into PoetrySet (fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,"
                          "fFontColor,fAlign,fIndent,fHangingIndent,fOffset,fModel,fID) Values (") +
           sqlText(l.FontName) + u',' + n(l.FontSize) + u',' + n(l.FontBold) + u',' + n(l.FontItalic) + u',' +
           n(l.FontUnderline) + u',' + n(l.FontColor) + u',' + n(l.Align) + u',' + n(l.Indent) + u',' +
           n(l.HangingIndent) + u',' + n(l.Offset) + u',' + sqlText(name) + u',' + n(kind) + u')';
}

void WriteTemplate(SqlDatabase& db, const QString& name, const Template& lines, TemplateWriteMode mode) {
    SqlTransaction tx(db);
    for (int k = 0; k < kTemplateLineCount; ++k) {
        const TemplateLine& line = lines[size_t(k)];
        if (mode == TemplateWriteMode::Save) {
            db.exec(TemplateUpdateSql(line, name, k));
            // The line kind has no stored row: write it rather than nothing.
            if (db.changes() > 0) continue;
        }
        db.exec(TemplateInsertSql(line, name, k));
    }
    tx.commit();
}
