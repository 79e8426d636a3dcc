#pragma once
// The main window frmPoem: the frame (every control under its given name), the
// state the subsystems share, start-up and shutdown, the write lock and the
// database switch. The subsystems' handlers live in their own controllers.
#include "app/dialogs.h"
#include "app/session.h"
#include "app/windowframe.h"
#include "browse/windowlayout.h"
#include "db/poemstore.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTextEdit;
class QToolButton;
class QTreeView;
class TitleListView;
class BrowseController;
class DisplayController;
class SearchController;
class SearchIndexController;
class PoemEditor;
class PoetEditor;
class BookController;
class BookmarkController;
class TemplateEditor;
class PinyinHint;
class PinyinView;
class DuplicateCheck;
class OutputController;
class HelpController;
class BusyWaitNote;
class DatabaseCheck;

// Pointers to every control, named as the program names them. Indexed arrays keep
// their index: objectName "mnuEditTo_1", "optAlign_2", ...
struct MainUi {
    QWidget* central = nullptr;
    // top strip
    QFrame* fraTop = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdQuit = nullptr;
    // left column
    QFrame* fraSelect = nullptr;
    QComboBox* cboList = nullptr;
    QTreeView* tvwList = nullptr;
    TitleListView* lstTitle = nullptr;
    QComboBox* cboTitle2 = nullptr;
    QComboBox* cboTitle3 = nullptr;
    // book strip and toolbar
    QFrame* fraBook = nullptr;
    QComboBox* cboBook = nullptr;
    QToolButton* cmdSetting = nullptr;
    QToolButton* cmdPoet = nullptr;
    QToolButton* cmdEdit = nullptr;
    QToolButton* cmdBookmarkAdd = nullptr;
    QToolButton* cmdBookmarkDel = nullptr;
    QToolButton* cmdBmkSeek = nullptr;
    QToolButton* cmdSeek = nullptr;
    QToolButton* cmdPrint = nullptr;
    // poem panel (search and poem editor)
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
    QPushButton* cmdSeekOk = nullptr;
    QPushButton* cmdEditOk = nullptr;
    QPushButton* cmdSeekCancel = nullptr;
    // template panel
    QFrame* fraModel = nullptr;
    QComboBox* cboModel = nullptr;
    QCheckBox* chkModel = nullptr;
    QPushButton* cmdSaveTo = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSaveCancel = nullptr;
    QFrame* Line6 = nullptr;
    QComboBox* cboText = nullptr;
    QComboBox* cboFontName = nullptr;
    QComboBox* cboFontSize = nullptr;
    QToolButton* chkFontBold = nullptr;
    QToolButton* chkFontItalic = nullptr;
    QToolButton* chkFontUnderline = nullptr;
    QPushButton* cmdFontColor = nullptr;
    std::array<QRadioButton*, 3> optAlign{};
    std::array<QToolButton*, 2> cmdIndent{};
    std::array<QToolButton*, 2> cmdHangingIndent{};
    std::array<QToolButton*, 2> cmdOffset{};
    // text pane and measuring surface
    QTextEdit* RichTextBox1 = nullptr;
    QLabel* picText = nullptr;
    // right column: poet panel
    QLabel* imgPoet = nullptr;
    QTextEdit* txtPoet2 = nullptr;
    QLabel* lblPoet2 = nullptr;
    QComboBox* cboPoet2 = nullptr;
    QToolButton* cmdPoetExpand = nullptr;
    QPushButton* cmdPoetOk = nullptr;
    QPushButton* cmdPoetCancel = nullptr;
    // status bar panels 1..7
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 7> panels{};
    QLabel* myTotal = nullptr;
    QLabel* mySelect = nullptr;
    QLabel* myModel = nullptr;
    QLabel* myState = nullptr;
    QLabel* myCheck = nullptr;

    // menus
    QMenu* mnuFile = nullptr;
    QAction* mnuModel = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuFileOutput = nullptr;
    QAction* mnuBooklet = nullptr;
    QAction* mnuQuit = nullptr;
    QMenu* mnuPoet = nullptr;
    QAction* mnuPoetEdit = nullptr;
    QAction* mnuPoetDel = nullptr;
    QAction* mnuPoetExpand = nullptr;
    QMenu* mnuEdit = nullptr;
    std::array<QAction*, 4> mnuEditTo{}; // entries 1..3
    QAction* mnuEditRefresh = nullptr;
    QAction* mnuEditBin = nullptr;
    QMenu* mnuSeek = nullptr;
    QAction* mnuSeekBegin = nullptr;
    std::array<QAction*, 2> mnuSeekOk{};
    QAction* mnuSeekFold = nullptr;
    QMenu* mnuBmk = nullptr;
    QAction* mnuBmkSeek = nullptr;
    std::array<QMenu*, 2> mnuBookmark{};
    std::array<QAction*, 2> mnuBookmarkAdd{};
    std::array<QAction*, 2> mnuBookmarkDel{};
    QAction* mnuBookmarkDelAll = nullptr;
    QMenu* mnuBook = nullptr;
    QMenu* mnuVolumn = nullptr;
    QAction* mnuVolAdd = nullptr;
    QAction* mnuVolChg = nullptr;
    QAction* mnuVolDel = nullptr;
    QAction* mnuBookOrder = nullptr;
    QMenu* mnuBookAdded = nullptr;
    std::array<QAction*, 2> mnuBookAdd{};
    QMenu* mnuBookDelete = nullptr;
    std::array<QAction*, 2> mnuBookDel{};
    QAction* mnuBookDelAll = nullptr;
    QMenu* mnuLst = nullptr;
    std::array<QAction*, 4> mnuList{};
    QMenu* mnuAlianMenu = nullptr;
    std::array<QAction*, 2> mnuAlian{};
    QMenu* mnuTool = nullptr;
    QAction* mnuToolPy = nullptr;
    QAction* mnuToolLock = nullptr;
    QAction* mnuToolFile = nullptr;
    QAction* mnuToolDbCheck = nullptr;
    QAction* mnuToolCHK = nullptr;
    QMenu* mnuHlp = nullptr;
    QAction* mnuHlpBook = nullptr;
    QAction* mnuPreface = nullptr;
    QAction* mnuHlpHtml = nullptr;
    QAction* mnuHlpMail = nullptr;
    QAction* mnuAbout = nullptr;
};

class MainWindow : public QMainWindow, public WindowFrame {
    Q_OBJECT
public:
    // `dialogs` is used for every message and dialog; it must outlive the window.
    explicit MainWindow(Dialogs* dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainUi ui;

    // The state the window's parts share.
    Session& session() { return m_session; }
    const Session& session() const { return m_session; }
    QString PoetExpandState = QStringLiteral("0");

    PoemStore& store() { return m_store; }
    Dialogs& dialogs() { return *m_dialogs; }
    // The program folder without a trailing separator. Tests point it elsewhere.
    static QString programFolder();
    static void setProgramFolderForTesting(const QString& folder);

    // Start-up (the load routine) and shutdown (the unload routine).
    void Form_Load();
    void Form_Unload();
    bool isLoaded() const { return m_loaded; }

    // Write lock and caption.
    void UpdateCaption();
    void EnableWriteControls(bool enabled);
    void mnuToolLock_Click();
    void mnuToolFile_Click();
    QString getFilePath(int kind, int filterIndex, const QString& initialName, const QString& title,
                        const QString& filter);

    // Window modes: the mode name shown in myState, the command buttons, the
    // button Escape presses, the toolbar popup menus and the poet panel zoom.
    void EnableCommandButtons(bool enabled);
    void setEscapeButton(QAbstractButton* button) override { m_escapeButton = button; }
    QAbstractButton* escapeButton() const override { return m_escapeButton; }
    void enableCommandButtons(bool enabled) override { EnableCommandButtons(enabled); }
    void arrangeTextPane() override { ArrangeTextPane(); }
    void cmdEdit_MouseDown(const QPoint& pointerInButton);
    void cmdPoet_MouseDown(const QPoint& pointerInButton);
    void cmdPoetExpand_Click();
    // Enter in a single-line field moves the focus on as Tab does.
    void enterMovesFocus(QWidget* field) override;

    // Layout in twips, applied to the widgets.
    void Form_Resize();
    void ArrangeTextPane();
    int twipsToPixels(int twips) const override;
    int pixelsToTwips(int pixels) const;


    // The subsystems' controllers, composed here.
    BrowseController* browse = nullptr;
    DisplayController* display = nullptr;
    SearchController* search = nullptr;
    SearchIndexController* searchIndexer = nullptr;
    PoemEditor* poemEditor = nullptr;
    PoetEditor* poetEditor = nullptr;
    BookController* books = nullptr;
    BookmarkController* bookmarks = nullptr;
    TemplateEditor* templateEditor = nullptr;
    PinyinHint* pinyin = nullptr;
    PinyinView* pinyinNotes = nullptr;
    DuplicateCheck* duplicates = nullptr;
    OutputController* output = nullptr;
    HelpController* help = nullptr;
    DatabaseCheck* databaseCheck = nullptr;

    // Entry points of the subsystems that start-up, the database switch and other
    // subsystems call.
    void cboBook_Click();
    void FillTemplateList();
    void UpdateCounters(const QString& filter, bool totals);
    void cboList_Click();
    void FillTitleList(const QString& filter, const QString& order, const QString& mode);
    void RenderPoem(const QString& id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void setupMenus();
    void setupStatusBar();
    void connectFrame();
    void openBooklet();
    void fillBookList();
    void fillFontList();
    void centreOnScreen();
    WindowState windowState() const;
    void applyRect(QWidget* w, const TwipRect& r);
    void applyLayout();

    Dialogs* m_dialogs;
    PoemStore m_store;
    Session m_session;
    std::unique_ptr<BusyWaitNote> m_busyNote;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_inResize = false;
    LayoutRects m_rects;
    QAbstractButton* m_escapeButton = nullptr;

public:
    const LayoutRects& layoutRects() const { return m_rects; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
