#include "dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {
QString titleOf(const QString& title) { return title.isNull() ? kAppTitle : title; }
} // namespace

void QtDialogs::message(const QString& text, Icon icon, const QString& title) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::Information: qicon = QMessageBox::Information; break;
    case Icon::Warning: qicon = QMessageBox::Warning; break;
    case Icon::Critical: qicon = QMessageBox::Critical; break;
    case Icon::Question: qicon = QMessageBox::Question; break;
    case Icon::None: break;
    }
    QMessageBox box(qicon, titleOf(title), text, QMessageBox::Ok, m_parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool QtDialogs::question(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, titleOf(title), text, QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QStringList QtDialogs::qtFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(u';', u' ');
        // Qt reads the patterns from the last parentheses of the description.
        out << (desc.contains(u'(') ? desc : desc + QStringLiteral(" (") + pattern + u')');
    }
    return out;
}

QString QtDialogs::getFilePath(int kind, int filterIndex, const QString& initialName, const QString& title,
                               const QString& filter) {
    QFileDialog dlg(m_parent, title);
    const QStringList filters = qtFilters(filter);
    dlg.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) dlg.selectNameFilter(filters[filterIndex - 1]);
    dlg.setOption(QFileDialog::ReadOnly, false);
    if (kind == 1) {
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
    } else {
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        // The overwrite question is the caller's.
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    dlg.selectFile(initialName);
    if (dlg.exec() != QDialog::Accepted) return QString();
    const QStringList files = dlg.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

bool QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& initial, QString* value) {
    QInputDialog dlg(m_parent);
    dlg.setWindowTitle(titleOf(title));
    dlg.setLabelText(prompt);
    dlg.setTextValue(initial);
    dlg.setOkButtonText(QStringLiteral("确定"));
    dlg.setCancelButtonText(QStringLiteral("取消"));
    if (dlg.exec() != QDialog::Accepted) return false;
    *value = dlg.textValue();
    return true;
}

bool QtDialogs::chooseColor(const QColor& initial, QColor* chosen) {
    const QColor c = QColorDialog::getColor(initial, m_parent);
    if (!c.isValid()) return false;
    *chosen = c;
    return true;
}

bool QtDialogs::printDialog(QPrinter* printer, bool hasSelection) {
    QPrintDialog dlg(printer, m_parent);
    // The shown poem prints whole: no page numbers to choose from.
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (hasSelection) {
        dlg.setOption(QAbstractPrintDialog::PrintSelection, true);
        dlg.setPrintRange(QAbstractPrintDialog::Selection);
    } else {
        dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    }
    return dlg.exec() == QDialog::Accepted;
}
