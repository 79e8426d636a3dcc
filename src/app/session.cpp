#include "app/session.h"

void Session::setWriteMode(WriteMode mode) {
    if (mode == m_writeMode) return;
    m_writeMode = mode;
    emit writeModeChanged(mode);
}

void Session::setEditMode(EditMode mode) {
    if (mode == m_editMode) return;
    m_editMode = mode;
    emit editModeChanged(mode);
}

void Session::setModeName(const QString& name) {
    if (name == m_modeName) return;
    m_modeName = name;
    emit modeNameChanged(name);
}

void Session::setTotals(qint64 titles, qint64 poems) {
    m_counters.totalTitles = titles;
    m_counters.totalPoems = titles > 0 ? poems : 0;
    emit totalsChanged(m_counters);
}

void Session::setListed(qint64 titles, qint64 poems, bool poemsKnown) {
    m_counters.listedTitles = titles;
    m_counters.listedPoems = titles > 0 ? poems : 0;
    m_counters.listedPoemsKnown = poemsKnown || titles == 0;
    emit listedChanged(m_counters);
}
