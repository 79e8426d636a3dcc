#include "app/busywaitnote.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QProgressDialog>

BusyWaitNote::~BusyWaitNote() { waitOver(); }

bool BusyWaitNote::keepWaiting(const QString& path, int elapsedMs) {
    if (elapsedMs < kShowAfterMs) return true;
    if (!m_note) {
        m_note = new QProgressDialog(m_parent);
        m_note->setObjectName(QStringLiteral("dlgBusyWait"));
        m_note->setWindowTitle(kAppTitle);
        m_note->setLabelText(QStringLiteral("数据库文件 %1 正被另一个程序占用。\n\n"
                                            "正在等它放开，最多等 %2 秒；按“取消”不再等待。")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(PoemStore::kBusyTimeoutMs / 1000));
        m_note->setCancelButtonText(QStringLiteral("取消"));
        m_note->setAccessibleName(QStringLiteral("等待数据库文件"));
        auto* bar = new QProgressBar(m_note);
        bar->setFormat(QStringLiteral("已等 %v 秒"));
        m_note->setBar(bar);
        m_note->setRange(0, PoemStore::kBusyTimeoutMs / 1000);
        m_note->setMinimumDuration(0);
        m_note->setAutoClose(false);
        m_note->setAutoReset(false);
        // Nothing else may use the store while the open waits.
        m_note->setWindowModality(Qt::ApplicationModal);
        m_note->show();
    }
    m_note->setValue(elapsedMs / 1000);
    QApplication::processEvents();
    return m_note && !m_note->wasCanceled();
}

void BusyWaitNote::waitOver() { delete m_note; }
