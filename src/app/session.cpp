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

void Session::setCounters(const Counters& counters) {
    if (counters == m_counters) return;
    m_counters = counters;
    emit countersChanged(counters);
}
