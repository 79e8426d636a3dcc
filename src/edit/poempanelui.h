#pragma once
// The poem panel, shared by the search, the poem editor and the pane that loads
// a poem into it: its frame and the nine poem fields, under their given names.
class QComboBox;
class QFrame;
class QLineEdit;
class QTextEdit;

struct PoemPanelUi {
    QFrame* fraSeek = nullptr;
    QLineEdit* txtTitle = nullptr;
    QComboBox* cboPoet = nullptr;
    QComboBox* cboDynasty = nullptr;
    QComboBox* cboType = nullptr;
    QComboBox* cboStyle = nullptr;
    QLineEdit* txtQty = nullptr;
    QTextEdit* txtPre = nullptr;
    QTextEdit* txtContent = nullptr;
    QTextEdit* txtMemo = nullptr;
};
