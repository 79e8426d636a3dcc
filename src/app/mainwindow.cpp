#include "app/mainwindow.h"
#include "app/combochoice.h"

#include "app/artwork.h"
#include "app/busycursor.h"
#include "app/busywaitnote.h"
#include "app/picklists.h"
#include "tools/databasecheck.h"
#include "browse/browsecontroller.h"
#include "display/displaycontroller.h"
#include "app/helpcontroller.h"
#include "books/bookcontroller.h"
#include "books/bookstore.h"
#include "display/pinyinhint.h"
#include "display/pinyinview.h"
#include "display/templateeditor.h"
#include "edit/recyclebindialog.h"
#include "edit/poemeditor.h"
#include "edit/poeteditor.h"
#include "search/bookmarkcontroller.h"
#include "search/searchcontroller.h"
#include "search/searchindexcontroller.h"
#include "tools/duplicatecheck.h"
#include "tools/bookletdialog.h"
#include "tools/outputcontroller.h"
#include "app/settings.h"
#include "browse/titlelistmodel.h"
#include "browse/titlelistview.h"
#include "browse/windowlayout.h"
#include "db/sqltext.h"
#include "db/textwidth.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QItemSelectionModel>
#include <QListView>

#include <algorithm>


MainWindow::MainWindow(Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_store(dialogs) {
    setObjectName(QStringLiteral("frmPoem"));
    setWindowTitle(QStringLiteral("蓝溪诗汇 "));
    setupUi();
    m_rects = designLayout();
    browse = new BrowseController({ui.lstTitle, ui.cboTitle2, ui.tvwList, ui.cboList, ui.cboPoet2, ui.cboBook, ui.mnuLst,
                                   ui.myState},
                                  m_store, *m_dialogs, m_session, *this, this);
    // The poem panel, shared by the pane that loads a poem, the poem editor and the search.
    const PoemPanelUi panel{ui.fraSeek, ui.txtTitle, ui.cboPoet, ui.cboDynasty, ui.cboType,
                            ui.cboStyle, ui.txtQty, ui.txtPre, ui.txtContent, ui.txtMemo};
    display = new DisplayController({panel, ui.cboModel, ui.chkModel, ui.cboText, ui.fraModel, ui.myModel,
                                     ui.RichTextBox1, ui.txtPoet2, ui.cboPoet2},
                                    m_store, *m_dialogs, m_session, *browse, this);
    searchIndexer = new SearchIndexController(m_store, ui.StatusBar1, ui.mnuSeekFold, this);
    poemEditor = new PoemEditor({panel, ui.cmdEditOk, ui.cmdSeekOk, ui.cmdSeekCancel, ui.cmdSeek, ui.cmdEdit,
                                 ui.mnuEditTo, ui.lstTitle},
                                m_store, *m_dialogs, m_session, *this, *browse, *display, this);
    search = new SearchController({panel, ui.cmdSeek, ui.mnuSeekBegin, ui.mnuSeekOk, ui.cmdSeekOk, ui.cmdEditOk,
                                   ui.cmdSeekCancel, ui.cmdEdit, ui.myState},
                                  m_store, m_session, *this, this);
    poetEditor = new PoetEditor({.cboPoet2 = ui.cboPoet2,
                                 .txtPoet2 = ui.txtPoet2,
                                 .cmdPoetOk = ui.cmdPoetOk,
                                 .cmdPoetCancel = ui.cmdPoetCancel,
                                 .mnuPoetEdit = ui.mnuPoetEdit,
                                 .mnuPoetDel = ui.mnuPoetDel,
                                 .cboPoet = ui.cboPoet,
                                 .cmdQuit = ui.cmdQuit,
                                 .myState = ui.myState},
                                m_store, *m_dialogs, m_session, *this, this);
    books = new BookController({.cboBook = ui.cboBook,
                                .RichTextBox1 = ui.RichTextBox1,
                                .myState = ui.myState,
                                .mnuVolAdd = ui.mnuVolAdd,
                                .mnuVolChg = ui.mnuVolChg,
                                .mnuVolDel = ui.mnuVolDel,
                                .mnuBookOrder = ui.mnuBookOrder,
                                .mnuBookAdded = ui.mnuBookAdded,
                                .mnuBookAdd = ui.mnuBookAdd,
                                .mnuBookDelete = ui.mnuBookDelete,
                                .mnuBookDel = ui.mnuBookDel,
                                .mnuBookDelAll = ui.mnuBookDelAll},
                               m_store, *m_dialogs, m_session, *browse, this);
    bookmarks = new BookmarkController({.cmdBmkSeek = ui.cmdBmkSeek,
                                        .cmdBookmarkAdd = ui.cmdBookmarkAdd,
                                        .cmdBookmarkDel = ui.cmdBookmarkDel,
                                        .myState = ui.myState,
                                        .mnuBmkSeek = ui.mnuBmkSeek,
                                        .mnuBookmark = ui.mnuBookmark,
                                        .mnuBookmarkAdd = ui.mnuBookmarkAdd,
                                        .mnuBookmarkDel = ui.mnuBookmarkDel,
                                        .mnuBookmarkDelAll = ui.mnuBookmarkDelAll},
                                       m_store.db(), *m_dialogs, m_session, *browse, this);
    templateEditor = new TemplateEditor({.fraModel = ui.fraModel,
                                         .cmdSetting = ui.cmdSetting,
                                         .mnuModel = ui.mnuModel,
                                         .cboModel = ui.cboModel,
                                         .cmdSave = ui.cmdSave,
                                         .cmdSaveTo = ui.cmdSaveTo,
                                         .cmdDel = ui.cmdDel,
                                         .cmdSaveCancel = ui.cmdSaveCancel,
                                         .cboText = ui.cboText,
                                         .cboFontName = ui.cboFontName,
                                         .cboFontSize = ui.cboFontSize,
                                         .chkFontBold = ui.chkFontBold,
                                         .chkFontItalic = ui.chkFontItalic,
                                         .chkFontUnderline = ui.chkFontUnderline,
                                         .cmdFontColor = ui.cmdFontColor,
                                         .optAlign = ui.optAlign,
                                         .cmdIndent = ui.cmdIndent,
                                         .cmdHangingIndent = ui.cmdHangingIndent,
                                         .cmdOffset = ui.cmdOffset},
                                        m_store.db(), *m_dialogs, m_session, *this, *display, this);
    // The search and the editors: the search shares the poem panel with the poem
    // editor and fills the title list; an edited template is drawn at once.
    connect(search, &SearchController::poemEditLeft, poemEditor, &PoemEditor::LeavePoemEdit);
    connect(search, &SearchController::titleListWanted, browse,
            [this](const QString& filter, const QString& order, bool append) {
                browse->FillTitleList(filter, order, append ? ListFill::Append : ListFill::Replace);
            });
    connect(templateEditor, &TemplateEditor::templateEdited, display, [this] { display->RenderSelectedPoem(); });
    pinyin = new PinyinHint({ui.mnuToolPy, ui.RichTextBox1}, m_store.db(), this);
    pinyinNotes = new PinyinView(ui.mnuTool, ui.RichTextBox1, m_store.db(), *m_dialogs, this);
    display->setNotes(pinyinNotes);
    duplicates = new DuplicateCheck({ui.mnuToolCHK, ui.cboTitle2, ui.cboTitle3, ui.myCheck, ui.lstTitle}, m_store.db(),
                                    *m_dialogs, this);
    output = new OutputController({ui.cmdPrint, ui.mnuPrint, ui.mnuFileOutput, ui.RichTextBox1}, *m_dialogs, *display,
                                  &MainWindow::programFolder, this);
    help = new HelpController({ui.mnuHlpBook, ui.mnuHlpHtml, ui.mnuHlpMail, ui.mnuAbout, ui.mnuPreface},
                              &MainWindow::programFolder, this);
    // How browsing, the pane and the tools follow one another.
    connect(browse, &BrowseController::poemChosen, display, [this](qint64 id) { display->RenderPoem(id); });
    connect(display, &DisplayController::lineKindFormatWanted, templateEditor,
            [this](int kind) { templateEditor->ShowLineKindFormat(kind); });
    connect(pinyinNotes, &PinyinView::renderWanted, display, [this] { display->RenderSelectedPoem(); });
    // The bookmarked poems replace the title list.
    connect(bookmarks, &BookmarkController::listWanted, browse, [this](const QString& filter, const QString& order) {
        browse->FillTitleList(filter, order, ListFill::Replace);
    });
    connect(duplicates, &DuplicateCheck::listWanted, browse, [this](const QString& filter, const QString& order) {
        browse->FillTitleList(filter, order, ListFill::Replace);
    });
    databaseCheck = new DatabaseCheck(ui.mnuToolDbCheck, m_store, *m_dialogs, this);
    // An open that finds the file held by another program shows how long it waits.
    m_busyNote = std::make_unique<BusyWaitNote>(this);
    m_store.setBusyWait(m_busyNote.get());
    connectFrame();
    // The design size: 11910 x 7905 twips of client area.
    resize(twipsToPixels(11910), twipsToPixels(7905) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() {
    Form_Unload();
    // Qt deletes the child widgets only after this destructor has run, and a
    // widget going away still sends events (a field losing the focus) to the
    // controllers that watch it and signals to the lambdas of this window. The
    // controllers go first, then every link from a child back to this window.
    const auto drop = [](auto*& controller) {
        delete controller;
        controller = nullptr;
    };
    drop(databaseCheck);
    drop(help);
    drop(output);
    drop(duplicates);
    drop(pinyinNotes);
    drop(pinyin);
    drop(templateEditor);
    drop(bookmarks);
    drop(books);
    drop(poetEditor);
    drop(search);
    drop(poemEditor);
    drop(display);
    drop(browse);
    m_store.setBusyWait(nullptr);
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        disconnect(child, nullptr, this, nullptr);
    }
}

namespace {
QString& programFolderOverride() {
    static QString folder;
    return folder;
}
} // namespace

QString MainWindow::programFolder() {
    const QString& o = programFolderOverride();
    return StripTrailingBackslash(o.isEmpty() ? QCoreApplication::applicationDirPath() : o);
}

void MainWindow::setProgramFolderForTesting(const QString& folder) { programFolderOverride() = folder; }

int MainWindow::twipsToPixels(int twips) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return int(qRound64(double(twips) * dpi / 1440.0));
}

int MainWindow::pixelsToTwips(int pixels) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return int(qRound64(double(pixels) * 1440.0 / dpi));
}



void MainWindow::connectFrame() {
    connect(ui.mnuQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui.cmdQuit, &QPushButton::clicked, this, &QWidget::close);
    connect(ui.mnuToolLock, &QAction::triggered, this, [this] { mnuToolLock_Click(); });
    connect(ui.mnuToolFile, &QAction::triggered, this, [this] { mnuToolFile_Click(); });
    connect(ui.mnuBooklet, &QAction::triggered, this, [this] { openBooklet(); });
    // Choosing the book that is shown lists it again: filings show at the next choice.
    connectChoice(ui.cboBook, this, [this] { cboBook_Click(); });
    connect(ui.cboList, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cboList_Click(); });
    connect(ui.mnuEditRefresh, &QAction::triggered, this, [this] { UpdateCounters(QString(), true); });
    connect(ui.mnuEditBin, &QAction::triggered, this, [this] {
        RecycleBinDialog bin(m_store.db(), dialogs(), m_session.canWrite(), this);
        connect(&bin, &RecycleBinDialog::poemRestored, this, [this] { UpdateCounters(QString(), true); });
        bin.exec();
    });
    for (int i = 0; i < 4; ++i)
        connect(ui.mnuList[size_t(i)], &QAction::triggered, this, [this, i] { ui.lstTitle->setViewStyle(i); });
    for (int i = 0; i < 2; ++i)
        connect(ui.mnuAlian[size_t(i)], &QAction::triggered, this, [this, i] { ui.lstTitle->setArrangement(i + 1); });
    // Escape presses the button the current mode names; browsing names cmdQuit.
    m_escapeButton = ui.cmdQuit;
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_escapeButton && m_escapeButton->isVisible() && m_escapeButton->isEnabled()) m_escapeButton->click();
    });
    // cmdEdit and cmdPoet open their menus on any mouse button.
    ui.cmdEdit->installEventFilter(this);
    ui.cmdPoet->installEventFilter(this);
    connect(ui.cmdPoetExpand, &QToolButton::clicked, this, [this] { cmdPoetExpand_Click(); });
    connect(ui.mnuPoetExpand, &QAction::triggered, this, [this] { cmdPoetExpand_Click(); });
    for (QWidget* field : {ui.cboList, ui.cboTitle2, ui.cboTitle3}) enterMovesFocus(field);
    // The counters' panels show what the session last counted.
    connect(&m_session, &Session::totalsChanged, this, [this](const Counters& c) {
        QString text = QStringLiteral("系统总计：") + QString::number(c.totalTitles) + QStringLiteral("题");
        if (c.totalTitles > 0) text += QStringLiteral(" (") + QString::number(c.totalPoems) + QStringLiteral("首)");
        ui.myTotal->setText(text);
    });
    connect(&m_session, &Session::listedChanged, this, [this](const Counters& c) {
        QString text = QStringLiteral("目前选入：") + QString::number(c.listedTitles) + QStringLiteral("题");
        if (c.listedTitles > 0 && c.listedPoemsKnown)
            text += QStringLiteral(" (") + QString::number(c.listedPoems) + QStringLiteral("首)");
        ui.mySelect->setText(text);
    });
}

// The booklet of the title list: its poems in the list's order, the selected
// ones, and the template the pane is drawn with.
void MainWindow::openBooklet() {
    BookletSource source;
    const TitleListModel* model = browse->model();
    source.listed.reserve(model->size());
    for (int r = 0; r < model->size(); ++r) source.listed.append(model->poemId(r));
    QList<int> rows;
    for (const QModelIndex& i : ui.lstTitle->listView()->selectionModel()->selectedRows()) rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    for (int r : rows) source.selected.append(model->poemId(r));
    source.lines = display->CurrentTemplate;
    source.defaultPath = programFolder() + QStringLiteral("/诗词小册.pdf");
    source.pinyin = BookletPinyin(m_store.db());
    BookletDialog::start(m_store.db(), dialogs(), std::move(source), this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && (watched == ui.cmdEdit || watched == ui.cmdPoet)) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (watched == ui.cmdEdit) cmdEdit_MouseDown(me->position().toPoint());
        else cmdPoet_MouseDown(me->position().toPoint());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && ke->modifiers() == Qt::NoModifier) {
            if (qobject_cast<QWidget*>(watched)) {
                // As Tab would: on from the field that has the focus.
                focusNextChild();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::enterMovesFocus(QWidget* field) {
    field->installEventFilter(this);
    if (auto* cb = qobject_cast<QComboBox*>(field); cb && cb->lineEdit()) cb->lineEdit()->installEventFilter(this);
}

void MainWindow::EnableCommandButtons(bool enabled) {
    if (m_session.canWrite()) {
        for (QWidget* b : {static_cast<QWidget*>(ui.cmdSetting), static_cast<QWidget*>(ui.cmdPoet),
                           static_cast<QWidget*>(ui.cmdEdit), static_cast<QWidget*>(ui.cmdSeek)})
            b->setEnabled(enabled);
    } else {
        ui.cmdSetting->setEnabled(enabled);
        ui.cmdSeek->setEnabled(enabled);
    }
    if (enabled) {
        m_escapeButton = ui.cmdQuit;
        ui.RichTextBox1->setFocus();
    }
    ui.myState->setText(QStringLiteral("状态：[") + m_session.modeName() + u']');
}

void MainWindow::cmdEdit_MouseDown(const QPoint& p) {
    ui.mnuEdit->popup(ui.fraBook->mapToGlobal(ui.cmdEdit->pos() + p));
}

void MainWindow::cmdPoet_MouseDown(const QPoint& p) {
    ui.mnuPoet->popup(ui.fraBook->mapToGlobal(ui.cmdPoet->pos() + p));
}

void MainWindow::cmdPoetExpand_Click() {
    PoetExpandState = PoetExpandToggle(PoetExpandState, windowState().innerWidth, m_rects);
    applyRect(ui.RichTextBox1, m_rects.RichTextBox1);
    applyRect(ui.txtPoet2, m_rects.txtPoet2);
    if (IsPoetExpanded(PoetExpandState)) ui.txtPoet2->raise();
    ui.txtPoet2->setFocus();
}

void MainWindow::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->geometry();
    const QRect fg = frameGeometry();
    move(avail.left() + (avail.width() - fg.width()) / 2, avail.top() + (avail.height() - fg.height()) / 2);
}

void MainWindow::fillBookList() {
    ui.cboBook->blockSignals(true);
    ui.cboBook->clear();
    ui.cboBook->addItem(kProductName);
    try {
        ui.cboBook->addItems(SelectedBookNames(m_store.db()));
    } catch (const SqlError& e) {
        m_store.reportReadFailure(e);
    }
    ui.cboBook->setCurrentIndex(-1);
    ui.cboBook->blockSignals(false);
}

void MainWindow::fillFontList() {
    // Filling the list is no change of the face the template line shows.
    const QString shown = ui.cboFontName->currentText();
    const QSignalBlocker block(ui.cboFontName);
    ui.cboFontName->clear();
    ui.cboFontName->addItems(QFontDatabase::families());
    const int at = ui.cboFontName->findText(shown);
    ui.cboFontName->setCurrentIndex(at);
    if (at < 0) ui.cboFontName->setEditText(shown);
}

void MainWindow::Form_Load() {
    BusyCursor busy;
    // The duplicate-group picker: four columns, only the first shown.
    auto* dupModel = new QStandardItemModel(0, 4, ui.cboTitle3);
    ui.cboTitle3->setModel(dupModel);
    ui.cboTitle3->setModelColumn(0);
    // Centre on the screen.
    centreOnScreen();
    // The help file.
    help->HelpFile = programFolder() + QStringLiteral("/readme.chm");
    // No poem edit armed.
    m_session.setEditMode(EditMode::None);
    // The database beside the program.
    m_session.setDatabasePath(programFolder() + QStringLiteral("/poem.mdb"));
    ui.panels[6]->setText(m_session.databasePath());
    ui.panels[6]->setToolTip(m_session.databasePath());
    // Open it in the saved write mode.
    m_session.setWriteMode(
        WriteMode(m_store.OpenPoemDatabase(Settings::defaultLocked(), m_session.databasePath())));
    m_loaded = true;
    // Lock tick, write controls and caption. Also after a failed open, so
    // the window without a database has every write control disabled.
    UpdateCaption();
    if (m_session.writeMode() != WriteMode::Closed) {
        // Each list on its own: a table missing from the file empties its own
        // list and is named once, the others still fill.
        const auto fill = [this](QStringList (*read)(SqlDatabase&), std::initializer_list<QComboBox*> combos) {
            try {
                const QStringList values = read(m_store.db());
                for (QComboBox* cb : combos) cb->addItems(values);
            } catch (const SqlError& e) {
                m_store.reportReadFailure(e);
            }
        };
        // Poets, into the search/editor combo and the poet panel's combo.
        fill(PoetNames, {ui.cboPoet, ui.cboPoet2});
        // Dynasties in their display order.
        fill(DynastyNames, {ui.cboDynasty});
        // Books, then entry 0: the whole collection.
        fillBookList();
        ui.cboBook->setCurrentIndex(0);
        // Categories.
        fill(PoemTypes, {ui.cboType});
        // Forms.
        ui.cboStyle->clear();
        fill(PoemStyles, {ui.cboStyle});
        for (QComboBox* cb : {ui.cboPoet, ui.cboDynasty, ui.cboType, ui.cboStyle}) cb->setCurrentIndex(-1);
        // The title list's view style.
        const int style = Settings::defaultLstView();
        ui.lstTitle->setViewStyle(style);
        ui.mnuList[size_t(style)]->setChecked(true);
        // Templates, totals, and the tree grouped by poet.
        FillTemplateList();
        UpdateCounters(QString(), true);
        ui.cboList->setCurrentIndex(1);
    } else {
        const int style = Settings::defaultLstView();
        ui.lstTitle->setViewStyle(style);
        ui.mnuList[size_t(style)]->setChecked(true);
    }
    // The template editor shows the content line.
    ui.cboText->setCurrentIndex(3);
    // Every screen font for the template editor.
    fillFontList();
    // Empty editor texts, and the browsing layout.
    ui.txtPre->clear();
    ui.txtContent->clear();
    ui.txtMemo->clear();
    Form_Resize();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void MainWindow::Form_Unload() {
    if (m_unloaded || !m_loaded) return;
    m_unloaded = true;
    // Errors here are ignored: the program is ending.
    m_store.close();
    const int style = ui.lstTitle->viewStyle();
    if (Settings::defaultLstView() != style) Settings::setDefaultLstView(style);
    // A start without a usable database leaves the saved mode alone.
    const auto mode = qint16(m_session.writeMode());
    if (mode >= 0 && Settings::defaultLocked() != mode) Settings::setDefaultLocked(mode);
}

void MainWindow::EnableWriteControls(bool enabled) {
    // The confirm buttons too: an edit armed before the lock cannot write.
    for (QWidget* w : std::initializer_list<QWidget*>{ui.cmdSave, ui.cmdSaveTo, ui.cmdDel, ui.cmdEdit, ui.cmdEditOk,
                                                       ui.cmdPoet, ui.cmdPoetOk, ui.cmdBookmarkAdd,
                                                       ui.cmdBookmarkDel})
        w->setEnabled(enabled);
    for (QAction* a : std::initializer_list<QAction*>{
             ui.mnuEditTo[1], ui.mnuEditTo[2], ui.mnuEditTo[3], ui.mnuPoetEdit, ui.mnuPoetDel,
             ui.mnuBookmark[0]->menuAction(), ui.mnuBookmark[1]->menuAction(), ui.mnuBookmarkDelAll,
             ui.mnuVolumn->menuAction(), ui.mnuBookOrder, ui.mnuBookAdded->menuAction(),
             ui.mnuBookDelete->menuAction(), ui.mnuBookDelAll, ui.mnuToolCHK})
        a->setEnabled(enabled);
}

void MainWindow::UpdateCaption() {
    searchIndexer->databaseOpened();
    const bool locked = m_session.writeMode() == WriteMode::Locked;
    ui.mnuToolLock->setChecked(locked);
    EnableWriteControls(m_session.canWrite());
    setWindowTitle(QStringLiteral("蓝溪诗汇 ") + (locked ? QStringLiteral("-（锁定）") : QString()));
}

void MainWindow::mnuToolLock_Click() {
    const qint16 requested = m_session.canWrite() ? 0 : 1;
    const auto result = WriteMode(m_store.OpenPoemDatabase(requested, m_session.databasePath()));
    if (result != m_session.writeMode()) {
        m_session.setWriteMode(result);
        UpdateCaption();
    } else if (result == WriteMode::Locked) {
        m_dialogs->message(QStringLiteral("系统无法写入数据库，解锁操作失败！"), MessageSink::Icon::Warning);
    }
    // The menu's own tick follows the write mode, not the click.
    ui.mnuToolLock->setChecked(m_session.writeMode() == WriteMode::Locked);
}

QString MainWindow::getFilePath(int kind, int filterIndex, const QString& initialName, const QString& title,
                                const QString& filter) {
    return m_dialogs->getFilePath(kind, filterIndex, initialName, title, filter);
}

void MainWindow::mnuToolFile_Click() {
    const QString initial = programFolder() + QStringLiteral("/poem.mdb");
    const QString path = getFilePath(1, 1, initial, windowTitle(),
                                     QStringLiteral("所有文件 (*.*)|*.*|Access 数据库 (*.mdb)|*.mdb"));
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    // After a failed start (Closed) the switch asks for a writable file.
    const qint16 mode = m_session.writeMode() == WriteMode::Closed ? 1 : qint16(m_session.writeMode());
    const qint16 result = m_store.OpenPoemDatabase(mode, path);
    if (result != -1) {
        m_session.setDatabasePath(path);
        ui.panels[6]->setText(path);
        ui.panels[6]->setToolTip(path);
        UpdateCounters(QString(), true);
        ui.cboList->setCurrentIndex(ui.cboList->currentIndex() == 0 ? 1 : 0);
        // Always brought in line: after a failed start the write controls were
        // disabled although the retried mode already reads 1.
        m_session.setWriteMode(WriteMode(result));
        UpdateCaption();
        return;
    }
    // Not a poem database, or it could not be opened: back to the previous file.
    m_session.setWriteMode(WriteMode(m_store.OpenPoemDatabase(mode, m_session.databasePath())));
    UpdateCaption();
}

// ---- Entry points of the subsystems used by start-up and the database switch ----

void MainWindow::cboBook_Click() { browse->cboBook_Click(); }

void MainWindow::FillTemplateList() { display->FillTemplateList(); }

void MainWindow::cboList_Click() { browse->cboList_Click(); }

void MainWindow::UpdateCounters(const QString& filter, bool totals) { browse->UpdateCounters(filter, totals); }

void MainWindow::FillTitleList(const QString& filter, const QString& order, const QString& mode) {
    browse->FillTitleList(filter, order, mode);
}

void MainWindow::RenderPoem(const QString& id) {
    // An id that is no number names no poem.
    bool ok = false;
    const qint64 n = id.trimmed().toLongLong(&ok);
    display->RenderPoem(ok ? n : 0);
}

// ---- Layout ----

WindowState MainWindow::windowState() const {
    WindowState st;
    const QRect fg = frameGeometry();
    st.outerWidth = pixelsToTwips(fg.width());
    st.outerHeight = pixelsToTwips(fg.height());
    st.statusHeight = pixelsToTwips(ui.StatusBar1->isVisible() ? ui.StatusBar1->height() : ui.StatusBar1->sizeHint().height());
    st.innerWidth = pixelsToTwips(ui.central->width());
    st.innerHeight = pixelsToTwips(ui.central->height()) + st.statusHeight;
    st.minimized = isMinimized();
    st.maximized = isMaximized();
    st.modelShown = !ui.fraModel->isHidden();
    st.seekShown = !ui.fraSeek->isHidden();
    st.poetExpanded = IsPoetExpanded(PoetExpandState);
    const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    if (screen) {
        st.screenWidth = pixelsToTwips(screen->geometry().width());
        st.screenHeight = pixelsToTwips(screen->geometry().height());
    }
    return st;
}

void MainWindow::applyRect(QWidget* w, const TwipRect& r) {
    w->setGeometry(twipsToPixels(r.left), twipsToPixels(r.top), qMax(0, twipsToPixels(r.width)),
                   qMax(0, twipsToPixels(r.height)));
}

void MainWindow::applyLayout() {
    const LayoutRects& r = m_rects;
    applyRect(ui.fraTop, r.fraTop);
    applyRect(ui.Image1, r.Image1);
    ui.Image1->setPixmap(Artwork::banner(ui.Image1->size()));
    ui.cmdQuit->setGeometry(ui.fraTop->width() - twipsToPixels(900), twipsToPixels(90 + 480), twipsToPixels(750),
                            twipsToPixels(315));
    ui.cmdQuit->raise();
    applyRect(ui.fraSelect, r.fraSelect);
    applyRect(ui.cboList, r.cboList);
    applyRect(ui.tvwList, r.tvwList);
    applyRect(ui.lstTitle, r.lstTitle);
    applyRect(ui.cboTitle2, r.cboTitle2);
    applyRect(ui.cboTitle3, r.cboTitle3);
    applyRect(ui.fraBook, r.fraBook);
    const std::pair<QWidget*, const TwipRect*> tools[] = {
        {ui.cmdSetting, &r.cmdSetting},         {ui.cmdPoet, &r.cmdPoet},         {ui.cmdEdit, &r.cmdEdit},
        {ui.cmdBookmarkAdd, &r.cmdBookmarkAdd}, {ui.cmdBookmarkDel, &r.cmdBookmarkDel}, {ui.cmdBmkSeek, &r.cmdBmkSeek},
        {ui.cmdSeek, &r.cmdSeek},               {ui.cmdPrint, &r.cmdPrint}};
    for (const auto& [w, rect] : tools) applyRect(w, *rect);
    applyRect(ui.fraModel, r.fraModel);
    applyRect(ui.cmdSave, r.cmdSave);
    applyRect(ui.cmdSaveTo, r.cmdSaveTo);
    applyRect(ui.cmdDel, r.cmdDel);
    applyRect(ui.cmdSaveCancel, r.cmdSaveCancel);
    ui.cmdDel->setVisible(r.cmdDel.visible);
    applyRect(ui.fraSeek, r.fraSeek);
    applyRect(ui.txtPre, r.txtPre);
    applyRect(ui.txtContent, r.txtContent);
    applyRect(ui.txtMemo, r.txtMemo);
    applyRect(ui.cmdSeekCancel, r.cmdSeekCancel);
    applyRect(ui.cmdSeekOk, r.cmdSeekOk);
    applyRect(ui.cmdEditOk, r.cmdEditOk);
    applyRect(ui.RichTextBox1, r.RichTextBox1);
    applyRect(ui.imgPoet, r.imgPoet);
    applyRect(ui.txtPoet2, r.txtPoet2);
    applyRect(ui.lblPoet2, r.lblPoet2);
    applyRect(ui.cboPoet2, r.cboPoet2);
    applyRect(ui.cmdPoetExpand, r.cmdPoetExpand);
    applyRect(ui.cmdPoetOk, r.cmdPoetOk);
    applyRect(ui.cmdPoetCancel, r.cmdPoetCancel);
    if (IsPoetExpanded(PoetExpandState)) ui.txtPoet2->raise();
}

void MainWindow::Form_Resize() {
    if (m_inResize) return;
    const WindowState st = windowState();
    const LayoutResult result = FormResize(st, m_rects);
    if (result.outcome == LayoutOutcome::SnapWindow) {
        // Too small: back to the smallest size, centred; the resize that follows lays it out.
        m_inResize = true;
        const QRect fg = frameGeometry();
        const QRect g = geometry();
        const int frameW = fg.width() - g.width();
        const int frameH = fg.height() - g.height();
        const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
        const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
        resize(twipsToPixels(result.window.width) - frameW, twipsToPixels(result.window.height) - frameH);
        move(origin.x() + twipsToPixels(result.window.left), origin.y() + twipsToPixels(result.window.top));
        m_inResize = false;
        const WindowState again = windowState();
        if (FormResize(again, m_rects).outcome == LayoutOutcome::LaidOut) applyLayout();
        return;
    }
    if (result.outcome == LayoutOutcome::LaidOut) applyLayout();
}

void MainWindow::ArrangeTextPane() {
    ui.RichTextBox1->hide();
    ::ArrangeTextPane(windowState(), m_rects);
    applyRect(ui.RichTextBox1, m_rects.RichTextBox1);
    ui.RichTextBox1->show();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}
