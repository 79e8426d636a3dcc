// Builds the main window's controls, menus and status bar. Every control carries
// its given name as objectName; indexed arrays append "_<index>". Inner positions
// of the panels are in twips (converted with the screen's DPI) and the resize
// layout moves and stretches them from there.
#include "app/artwork.h"
#include "app/fonts.h"
#include "app/mainwindow.h"
#include "browse/titlelistview.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>

namespace {

template <typename W> W* make(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

QAction* action(QMenu* menu, const QString& name, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
}

QMenu* submenu(QMenu* parent, const QString& name, const QString& title) {
    QMenu* m = parent->addMenu(title);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name + QStringLiteral("Action"));
    return m;
}

} // namespace

void MainWindow::setupUi() {
    const auto place = [this](QWidget* w, int l, int t, int wd, int h) {
        w->setGeometry(twipsToPixels(l), twipsToPixels(t), twipsToPixels(wd), twipsToPixels(h));
    };
    // A label that names an input field: the buddy carries its text as the
    // field's accessible name.
    const auto label = [&](QWidget* parent, const QString& name, const QString& text, QWidget* buddy, int l, int t,
                           int w) {
        QLabel* lbl = make<QLabel>(parent, name);
        lbl->setText(text);
        place(lbl, l, t, w, 300);
        if (buddy) {
            lbl->setBuddy(buddy);
            buddy->setAccessibleName(QString(text).remove(u':').remove(u'：'));
        }
        return lbl;
    };

    ui.central = make<QWidget>(this, QStringLiteral("frmPoemClient"));
    setCentralWidget(ui.central);
    QWidget* c = ui.central;

    // Top strip: the banner and the quit button.
    ui.fraTop = make<QFrame>(c, QStringLiteral("fraTop"));
    ui.Image1 = make<QLabel>(ui.fraTop, QStringLiteral("Image1"));
    ui.Image1->setScaledContents(true);
    ui.cmdQuit = make<QPushButton>(ui.fraTop, QStringLiteral("cmdQuit"));
    ui.cmdQuit->setText(QStringLiteral("退出"));
    ui.cmdQuit->setToolTip(QStringLiteral("退出"));

    // Left column.
    ui.fraSelect = make<QFrame>(c, QStringLiteral("fraSelect"));
    ui.cboList = make<QComboBox>(ui.fraSelect, QStringLiteral("cboList"));
    ui.cboList->addItems({QStringLiteral("按[朝代]排列"), QStringLiteral("按[作者]排列"), QStringLiteral("按[格式]排列")});
    ui.cboList->setCurrentIndex(-1);
    ui.cboList->setAccessibleName(QStringLiteral("分类方式"));
    ui.tvwList = make<QTreeView>(ui.fraSelect, QStringLiteral("tvwList"));
    ui.tvwList->setHeaderHidden(true);
    // Every node is one line: positions are computed, not measured node by node.
    ui.tvwList->setUniformRowHeights(true);
    ui.tvwList->setAccessibleName(QStringLiteral("诗词分类"));
    ui.lstTitle = make<TitleListView>(ui.fraSelect, QStringLiteral("lstTitle"));
    ui.lstTitle->setAccessibleName(QStringLiteral("诗词标题"));
    ui.cboTitle2 = make<QComboBox>(ui.fraSelect, QStringLiteral("cboTitle2"));
    ui.cboTitle2->setToolTip(QStringLiteral("历史操作记录"));
    ui.cboTitle2->setAccessibleName(QStringLiteral("历史操作记录"));
    ui.cboTitle3 = make<QComboBox>(ui.fraSelect, QStringLiteral("cboTitle3"));
    ui.cboTitle3->setAccessibleName(QStringLiteral("重复诗词"));
    ui.cboTitle3->hide();
    // History and duplicate lines pad to display columns: a monospaced CJK face
    // in which a Chinese character is two Latin widths lines them up.
    QFont mono(monospaceCjkFamily());
    mono.setPointSize(9);
    ui.cboTitle2->setFont(mono);
    ui.cboTitle3->setFont(mono);

    // Book strip with the toolbar.
    ui.fraBook = make<QFrame>(c, QStringLiteral("fraBook"));
    ui.cboBook = make<QComboBox>(ui.fraBook, QStringLiteral("cboBook"));
    ui.cboBook->setEditable(true);
    ui.cboBook->setInsertPolicy(QComboBox::NoInsert);
    ui.cboBook->setToolTip(QStringLiteral("书籍目录"));
    ui.cboBook->setAccessibleName(QStringLiteral("书籍目录"));
    place(ui.cboBook, 60, 120, 2400, 315);
    struct Tool {
        QToolButton** slot;
        const char* name;
        const char* tip;
        const char* glyph;
        QColor colour;
    };
    const Tool tools[] = {
        {&ui.cmdSetting, "cmdSetting", "模板设置", "模", QColor(0x7b, 0x4f, 0x9d)},
        {&ui.cmdPoet, "cmdPoet", "作者编辑", "人", QColor(0x2e, 0x7d, 0x32)},
        {&ui.cmdEdit, "cmdEdit", "诗词编辑", "诗", QColor(0x1f, 0x5f, 0xa8)},
        {&ui.cmdBookmarkAdd, "cmdBookmarkAdd", "书签插入", "签", QColor(0xc6, 0x28, 0x28)},
        {&ui.cmdBookmarkDel, "cmdBookmarkDel", "书签删除", "删", QColor(0x8d, 0x6e, 0x63)},
        {&ui.cmdBmkSeek, "cmdBmkSeek", "书签查询", "览", QColor(0xef, 0x6c, 0x00)},
        {&ui.cmdSeek, "cmdSeek", "诗词检索", "检", QColor(0x00, 0x83, 0x8f)},
        {&ui.cmdPrint, "cmdPrint", "作品打印", "印", QColor(0x45, 0x5a, 0x64)},
    };
    for (const Tool& t : tools) {
        QToolButton* b = make<QToolButton>(ui.fraBook, QString::fromUtf8(t.name));
        const QString tip = QString::fromUtf8(t.tip);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setIcon(Artwork::toolIcon(QString::fromUtf8(t.glyph), t.colour));
        b->setIconSize(QSize(twipsToPixels(330), twipsToPixels(330)));
        b->setAutoRaise(true);
        place(b, 0, 60, 420, 420);
        *t.slot = b;
    }

    // Poem panel: search and poem editor share it.
    ui.fraSeek = make<QFrame>(c, QStringLiteral("fraSeek"));
    ui.fraSeek->setFrameShape(QFrame::StyledPanel);
    QWidget* s = ui.fraSeek;
    ui.txtTitle = make<QLineEdit>(s, QStringLiteral("txtTitle"));
    ui.cboPoet = make<QComboBox>(s, QStringLiteral("cboPoet"));
    ui.cboDynasty = make<QComboBox>(s, QStringLiteral("cboDynasty"));
    ui.cboType = make<QComboBox>(s, QStringLiteral("cboType"));
    ui.cboStyle = make<QComboBox>(s, QStringLiteral("cboStyle"));
    for (QComboBox* cb : {ui.cboPoet, ui.cboDynasty, ui.cboType, ui.cboStyle}) {
        cb->setEditable(true);
        cb->setInsertPolicy(QComboBox::NoInsert);
    }
    ui.txtQty = make<QLineEdit>(s, QStringLiteral("txtQty"));
    ui.txtPre = make<QTextEdit>(s, QStringLiteral("txtPre"));
    ui.txtContent = make<QTextEdit>(s, QStringLiteral("txtContent"));
    ui.txtMemo = make<QTextEdit>(s, QStringLiteral("txtMemo"));
    for (QTextEdit* te : {ui.txtPre, ui.txtContent, ui.txtMemo}) {
        te->setAcceptRichText(false);
        te->setTabChangesFocus(true);
    }
    label(s, QStringLiteral("lblTitle"), QStringLiteral("标题:"), ui.txtTitle, 60, 60, 540);
    place(ui.txtTitle, 600, 60, 2400, 300);
    label(s, QStringLiteral("lblPoet"), QStringLiteral("作者:"), ui.cboPoet, 3100, 60, 540);
    place(ui.cboPoet, 3640, 60, 1500, 300);
    label(s, QStringLiteral("lblDynasty"), QStringLiteral("朝代:"), ui.cboDynasty, 5240, 60, 540);
    place(ui.cboDynasty, 5780, 60, 1000, 300);
    label(s, QStringLiteral("lblType"), QStringLiteral("类别:"), ui.cboType, 60, 420, 540);
    place(ui.cboType, 600, 420, 1200, 300);
    label(s, QStringLiteral("lblStyle"), QStringLiteral("格式:"), ui.cboStyle, 1900, 420, 540);
    place(ui.cboStyle, 2440, 420, 1700, 300);
    place(ui.txtQty, 4300, 420, 500, 300);
    label(s, QStringLiteral("lblQty"), QStringLiteral("首"), ui.txtQty, 4860, 420, 300);
    label(s, QStringLiteral("lblPre"), QStringLiteral("前言:"), ui.txtPre, 60, 780, 540);
    place(ui.txtPre, 600, 780, 6195, 480);
    label(s, QStringLiteral("lblContent"), QStringLiteral("内容:"), ui.txtContent, 60, 1320, 540);
    place(ui.txtContent, 600, 1320, 6195, 1080);
    label(s, QStringLiteral("lblMemo"), QStringLiteral("简析:"), ui.txtMemo, 60, 2460, 540);
    place(ui.txtMemo, 600, 2460, 6195, 420);
    ui.cmdSeekOk = make<QPushButton>(s, QStringLiteral("cmdSeekOk"));
    ui.cmdSeekOk->setText(QStringLiteral("检索(&S)"));
    ui.cmdEditOk = make<QPushButton>(s, QStringLiteral("cmdEditOk"));
    ui.cmdEditOk->setText(QStringLiteral("新增(&A)"));
    ui.cmdSeekCancel = make<QPushButton>(s, QStringLiteral("cmdSeekCancel"));
    ui.cmdSeekCancel->setText(QStringLiteral("返回>>"));
    place(ui.cmdSeekCancel, 6045, 2940, 750, 315);
    place(ui.cmdSeekOk, 5255, 2940, 750, 315);
    place(ui.cmdEditOk, 5255, 2940, 750, 315);
    ui.cmdEditOk->hide();
    ui.fraSeek->hide();

    // Template panel. Left of the separator Line6: the line-kind formats; right
    // of it: the template choice and, where they fit, the four buttons.
    ui.fraModel = make<QFrame>(c, QStringLiteral("fraModel"));
    ui.fraModel->setFrameShape(QFrame::StyledPanel);
    QWidget* m = ui.fraModel;
    ui.cboText = make<QComboBox>(m, QStringLiteral("cboText"));
    ui.cboText->addItems({QStringLiteral("1-[标题]"), QStringLiteral("2-[作者]"), QStringLiteral("3-[前言]"),
                          QStringLiteral("4-[内容]"), QStringLiteral("5-[简析]")});
    ui.cboText->setToolTip(QStringLiteral("诗词段落设计"));
    place(ui.cboText, 60, 60, 1100, 300);
    ui.cboFontSize = make<QComboBox>(m, QStringLiteral("cboFontSize"));
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        ui.cboFontSize->addItem(QString::number(size));
    ui.cboFontSize->setToolTip(QStringLiteral("字号"));
    place(ui.cboFontSize, 1220, 60, 680, 300);
    ui.cboFontName = make<QComboBox>(m, QStringLiteral("cboFontName"));
    ui.cboFontName->setEditable(true);
    ui.cboFontName->setInsertPolicy(QComboBox::NoInsert);
    ui.cboFontName->setToolTip(QStringLiteral("字体"));
    place(ui.cboFontName, 60, 390, 1600, 300);
    const auto toggle = [&](QToolButton** slot, const char* name, const char* text, const char* tip, int left, int top) {
        QToolButton* b = make<QToolButton>(m, QString::fromUtf8(name));
        b->setText(QString::fromUtf8(text));
        b->setToolTip(QString::fromUtf8(tip));
        b->setAccessibleName(QString::fromUtf8(tip));
        place(b, left, top, 300, 300);
        *slot = b;
    };
    toggle(&ui.chkFontBold, "chkFontBold", "B", "加粗", 1720, 390);
    toggle(&ui.chkFontItalic, "chkFontItalic", "I", "倾斜", 2050, 390);
    toggle(&ui.chkFontUnderline, "chkFontUnderline", "U", "下划线", 2380, 390);
    for (QToolButton* b : {ui.chkFontBold, ui.chkFontItalic, ui.chkFontUnderline}) b->setCheckable(true);
    QFont bf = ui.chkFontBold->font();
    bf.setBold(true);
    ui.chkFontBold->setFont(bf);
    QFont itf = ui.chkFontItalic->font();
    itf.setItalic(true);
    ui.chkFontItalic->setFont(itf);
    QFont uf = ui.chkFontUnderline->font();
    uf.setUnderline(true);
    ui.chkFontUnderline->setFont(uf);
    ui.cmdFontColor = make<QPushButton>(m, QStringLiteral("cmdFontColor"));
    ui.cmdFontColor->setText(QStringLiteral(" "));
    ui.cmdFontColor->setToolTip(QStringLiteral("字体颜色"));
    ui.cmdFontColor->setAccessibleName(QStringLiteral("字体颜色"));
    place(ui.cmdFontColor, 2710, 390, 300, 300);
    const char* alignText[] = {"左对齐", "右对齐", "居中"};
    auto* alignGroup = new QButtonGroup(m);
    // Side by side from the left edge, each at least as wide as its caption needs
    // in the interface font, so no caption is cut by the next button.
    int alignX = twipsToPixels(60);
    for (int i = 0; i < 3; ++i) {
        QRadioButton* r = make<QRadioButton>(m, QStringLiteral("optAlign_%1").arg(i));
        r->setText(QString::fromUtf8(alignText[i]));
        const int width = qMax(twipsToPixels(i == 2 ? 720 : 800), r->sizeHint().width());
        r->setGeometry(alignX, twipsToPixels(720), width, twipsToPixels(300));
        alignX += width;
        alignGroup->addButton(r, i);
        ui.optAlign[size_t(i)] = r;
    }
    const char* indentTip[] = {"减少缩进量", "增加缩进量"};
    const char* indentText[] = {"⇤", "⇥"};
    const char* hangTip[] = {"悬挂缩进", "首行缩进"};
    const char* hangText[] = {"悬", "首"};
    const char* offsetTip[] = {"文字下移", "文字上移"};
    const char* offsetText[] = {"↓", "↑"};
    for (int i = 0; i < 2; ++i) {
        toggle(&ui.cmdIndent[size_t(i)], QStringLiteral("cmdIndent_%1").arg(i).toUtf8().constData(), indentText[i],
               indentTip[i], 0, 720);
        toggle(&ui.cmdHangingIndent[size_t(i)], QStringLiteral("cmdHangingIndent_%1").arg(i).toUtf8().constData(),
               hangText[i], hangTip[i], 0, 720);
        toggle(&ui.cmdOffset[size_t(i)], QStringLiteral("cmdOffset_%1").arg(i).toUtf8().constData(), offsetText[i],
               offsetTip[i], 0, 720);
    }
    // The six small buttons (made at the row's top above) follow the alignment
    // buttons and share the room left before the separator (at X 4485).
    QToolButton* const rowButtons[] = {ui.cmdIndent[0],        ui.cmdIndent[1], ui.cmdHangingIndent[0],
                                       ui.cmdHangingIndent[1], ui.cmdOffset[0], ui.cmdOffset[1]};
    int buttonX = qMax(alignX + 2, twipsToPixels(2480));
    const int step = qMax(12, qMin(twipsToPixels(310), (twipsToPixels(4485) - 2 - buttonX) / 6));
    for (QToolButton* b : rowButtons) {
        b->setGeometry(buttonX, b->y(), step - 1, b->height());
        buttonX += step;
    }
    ui.Line6 = make<QFrame>(m, QStringLiteral("Line6"));
    ui.Line6->setFrameShape(QFrame::VLine);
    ui.Line6->setFrameShadow(QFrame::Sunken);
    place(ui.Line6, 4500 - 15, 30, 30, 990);
    ui.cboModel = make<QComboBox>(m, QStringLiteral("cboModel"));
    ui.cboModel->setToolTip(QStringLiteral("诗词模板"));
    ui.cboModel->setAccessibleName(QStringLiteral("诗词模板"));
    place(ui.cboModel, 4600, 60, 1400, 300);
    ui.chkModel = make<QCheckBox>(m, QStringLiteral("chkModel"));
    ui.chkModel->setText(QStringLiteral("缺省"));
    ui.chkModel->setToolTip(QStringLiteral("将当前模板设置为[首选模板]."));
    place(ui.chkModel, 6060, 60, 800, 300);
    const auto button = [&](QPushButton** slot, const char* name, const char* text, const char* tip) {
        QPushButton* b = make<QPushButton>(m, QString::fromUtf8(name));
        b->setText(QString::fromUtf8(text));
        if (*tip) b->setToolTip(QString::fromUtf8(tip));
        place(b, 0, 390, 720, 315);
        *slot = b;
    };
    button(&ui.cmdSave, "cmdSave", "保存(&S)", "模板修改");
    button(&ui.cmdSaveTo, "cmdSaveTo", "另存为", "模板新建");
    button(&ui.cmdDel, "cmdDel", "删除", "模板删除");
    button(&ui.cmdSaveCancel, "cmdSaveCancel", "返回>>", "");
    ui.fraModel->hide();

    // Text pane and the measuring surface.
    ui.RichTextBox1 = make<QTextEdit>(c, QStringLiteral("RichTextBox1"));
    ui.RichTextBox1->setReadOnly(true);
    // The scroll bar is always there, so a long poem is laid out once, not again
    // when its height makes the bar appear and narrows the text.
    ui.RichTextBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.RichTextBox1->setAccessibleName(QStringLiteral("诗词正文"));
    ui.RichTextBox1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    ui.picText = make<QLabel>(c, QStringLiteral("picText"));
    ui.picText->hide();

    // Right column: the poet panel.
    ui.imgPoet = make<QLabel>(c, QStringLiteral("imgPoet"));
    ui.imgPoet->setScaledContents(true);
    ui.imgPoet->setPixmap(Artwork::poetPicture(QSize(101, 388)));
    ui.txtPoet2 = make<QTextEdit>(c, QStringLiteral("txtPoet2"));
    ui.txtPoet2->setReadOnly(true);
    ui.txtPoet2->setAcceptRichText(false);
    // As in the pane: a fixed scroll bar, so a biography is laid out once and not
    // again when its length makes the bar appear.
    ui.txtPoet2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.txtPoet2->setToolTip(QStringLiteral("作者生平简介"));
    ui.lblPoet2 = make<QLabel>(c, QStringLiteral("lblPoet2"));
    ui.lblPoet2->setText(QStringLiteral("作者简介"));
    ui.lblPoet2->setBuddy(ui.txtPoet2);
    ui.txtPoet2->setAccessibleName(QStringLiteral("作者简介"));
    ui.cboPoet2 = make<QComboBox>(c, QStringLiteral("cboPoet2"));
    // Shows any poet's name, listed or not; disabled outside a poet edit.
    ui.cboPoet2->setEditable(true);
    ui.cboPoet2->setInsertPolicy(QComboBox::NoInsert);
    ui.cboPoet2->setEnabled(false);
    ui.cboPoet2->setAccessibleName(QStringLiteral("作者"));
    ui.cmdPoetExpand = make<QToolButton>(c, QStringLiteral("cmdPoetExpand"));
    ui.cmdPoetExpand->setText(QStringLiteral("⇕"));
    ui.cmdPoetExpand->setToolTip(QStringLiteral("布局缩放"));
    ui.cmdPoetExpand->setAccessibleName(QStringLiteral("布局缩放"));
    ui.cmdPoetOk = make<QPushButton>(c, QStringLiteral("cmdPoetOk"));
    ui.cmdPoetOk->setText(QStringLiteral("存盘(&S)"));
    ui.cmdPoetCancel = make<QPushButton>(c, QStringLiteral("cmdPoetCancel"));
    ui.cmdPoetCancel->setText(QStringLiteral("返回>>"));
    ui.cmdPoetOk->hide();
    ui.cmdPoetCancel->hide();
    ui.lblPoet2->hide();

    setupMenus();
    setupStatusBar();
}

void MainWindow::setupMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    const auto menu = [&](const QString& name, const QString& title) {
        QMenu* mm = bar->addMenu(title);
        mm->setObjectName(name);
        mm->menuAction()->setObjectName(name + QStringLiteral("Action"));
        return mm;
    };

    ui.mnuFile = menu(QStringLiteral("mnuFile"), QStringLiteral("文件(&F)"));
    ui.mnuModel = action(ui.mnuFile, QStringLiteral("mnuModel"), QStringLiteral("模板设置"));
    ui.mnuFile->addSeparator();
    ui.mnuPrint = action(ui.mnuFile, QStringLiteral("mnuPrint"), QStringLiteral("诗词打印"));
    ui.mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    ui.mnuFileOutput = action(ui.mnuFile, QStringLiteral("mnuFileOutput"), QStringLiteral("诗词输出"));
    ui.mnuBooklet = action(ui.mnuFile, QStringLiteral("mnuBooklet"), QStringLiteral("输出小册"));
    ui.mnuFile->addSeparator();
    ui.mnuQuit = action(ui.mnuFile, QStringLiteral("mnuQuit"), QStringLiteral("退出"));
    ui.mnuQuit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    ui.mnuPoet = menu(QStringLiteral("mnuPoet"), QStringLiteral("作者编辑(&A)"));
    ui.mnuPoetEdit = action(ui.mnuPoet, QStringLiteral("mnuPoetEdit"), QStringLiteral("作者修改"));
    ui.mnuPoetDel = action(ui.mnuPoet, QStringLiteral("mnuPoetDel"), QStringLiteral("作者删除"));
    ui.mnuPoet->addSeparator();
    ui.mnuPoetExpand = action(ui.mnuPoet, QStringLiteral("mnuPoetExpand"), QStringLiteral("布局缩放"));

    ui.mnuEdit = menu(QStringLiteral("mnuEdit"), QStringLiteral("诗词编辑(&E)"));
    const char* editText[] = {"", "诗词新增", "诗词修改", "诗词删除"};
    for (int i = 1; i <= 3; ++i)
        ui.mnuEditTo[size_t(i)] = action(ui.mnuEdit, QStringLiteral("mnuEditTo_%1").arg(i), QString::fromUtf8(editText[i]));
    ui.mnuEdit->addSeparator();
    ui.mnuEditRefresh = action(ui.mnuEdit, QStringLiteral("mnuEditRefresh"), QStringLiteral("刷新"));
    ui.mnuEdit->addSeparator();
    ui.mnuEditBin = action(ui.mnuEdit, QStringLiteral("mnuEditBin"), QStringLiteral("回收站..."));

    ui.mnuSeek = menu(QStringLiteral("mnuSeek"), QStringLiteral("诗词检索(&S)"));
    ui.mnuSeekBegin = action(ui.mnuSeek, QStringLiteral("mnuSeekBegin"), QStringLiteral("准备检索"));
    ui.mnuSeek->addSeparator();
    ui.mnuSeekOk[0] = action(ui.mnuSeek, QStringLiteral("mnuSeekOk_0"), QStringLiteral("重新检入"));
    ui.mnuSeekOk[1] = action(ui.mnuSeek, QStringLiteral("mnuSeekOk_1"), QStringLiteral("追加检入"));
    for (QAction* a : ui.mnuSeekOk) a->setEnabled(false);
    ui.mnuSeek->addSeparator();
    ui.mnuSeekFold = action(ui.mnuSeek, QStringLiteral("mnuSeekFold"), QStringLiteral("简繁通查"));

    const QString current = QStringLiteral("当前诗词");
    const QString all = QStringLiteral("所有选入诗词");
    ui.mnuBmk = menu(QStringLiteral("mnuBmk"), QStringLiteral("书签(&B)"));
    ui.mnuBmkSeek = action(ui.mnuBmk, QStringLiteral("mnuBmkSeek"), QStringLiteral("书签查询"));
    ui.mnuBmk->addSeparator();
    ui.mnuBookmark[0] = submenu(ui.mnuBmk, QStringLiteral("mnuBookmark_0"), QStringLiteral("插入书签"));
    ui.mnuBookmarkAdd[0] = action(ui.mnuBookmark[0], QStringLiteral("mnuBookmarkAdd_0"), current);
    ui.mnuBookmarkAdd[1] = action(ui.mnuBookmark[0], QStringLiteral("mnuBookmarkAdd_1"), all);
    ui.mnuBookmark[1] = submenu(ui.mnuBmk, QStringLiteral("mnuBookmark_1"), QStringLiteral("删除书签"));
    ui.mnuBookmarkDel[0] = action(ui.mnuBookmark[1], QStringLiteral("mnuBookmarkDel_0"), current);
    ui.mnuBookmarkDel[1] = action(ui.mnuBookmark[1], QStringLiteral("mnuBookmarkDel_1"), all);
    ui.mnuBmk->addSeparator();
    ui.mnuBookmarkDelAll = action(ui.mnuBmk, QStringLiteral("mnuBookmarkDelAll"), QStringLiteral("清空书签"));

    ui.mnuBook = menu(QStringLiteral("mnuBook"), QStringLiteral("书籍管理(&V)"));
    ui.mnuVolumn = submenu(ui.mnuBook, QStringLiteral("mnuVolumn"), QStringLiteral("目录编辑"));
    ui.mnuVolAdd = action(ui.mnuVolumn, QStringLiteral("mnuVolAdd"), QStringLiteral("目录新增"));
    ui.mnuVolChg = action(ui.mnuVolumn, QStringLiteral("mnuVolChg"), QStringLiteral("目录修改"));
    ui.mnuVolDel = action(ui.mnuVolumn, QStringLiteral("mnuVolDel"), QStringLiteral("目录删除"));
    ui.mnuBookOrder = action(ui.mnuBook, QStringLiteral("mnuBookOrder"), QStringLiteral("目录排序"));
    ui.mnuBook->addSeparator();
    ui.mnuBookAdded = submenu(ui.mnuBook, QStringLiteral("mnuBookAdded"), QStringLiteral("目录归档"));
    ui.mnuBookAdd[0] = action(ui.mnuBookAdded, QStringLiteral("mnuBookAdd_0"), current);
    ui.mnuBookAdd[1] = action(ui.mnuBookAdded, QStringLiteral("mnuBookAdd_1"), all);
    ui.mnuBookDelete = submenu(ui.mnuBook, QStringLiteral("mnuBookDelete"), QStringLiteral("取消归档"));
    ui.mnuBookDel[0] = action(ui.mnuBookDelete, QStringLiteral("mnuBookDel_0"), current);
    ui.mnuBookDel[1] = action(ui.mnuBookDelete, QStringLiteral("mnuBookDel_1"), all);
    ui.mnuBook->addSeparator();
    ui.mnuBookDelAll = action(ui.mnuBook, QStringLiteral("mnuBookDelAll"), QStringLiteral("清空目录"));

    ui.mnuLst = menu(QStringLiteral("mnuLst"), QStringLiteral("列表显示(&L)"));
    const char* viewText[] = {"大图表", "小图表", "列表", "详细信息"};
    auto* views = new QActionGroup(this);
    for (int i = 0; i < 4; ++i) {
        QAction* a = action(ui.mnuLst, QStringLiteral("mnuList_%1").arg(i), QString::fromUtf8(viewText[i]));
        a->setCheckable(true);
        views->addAction(a);
        ui.mnuList[size_t(i)] = a;
    }
    ui.mnuLst->addSeparator();
    ui.mnuAlianMenu = submenu(ui.mnuLst, QStringLiteral("mnuAlianMenu"), QStringLiteral("对齐方式"));
    ui.mnuAlian[0] = action(ui.mnuAlianMenu, QStringLiteral("mnuAlian_0"), QStringLiteral("左边对齐"));
    ui.mnuAlian[1] = action(ui.mnuAlianMenu, QStringLiteral("mnuAlian_1"), QStringLiteral("顶端对齐"));

    ui.mnuTool = menu(QStringLiteral("mnuTool"), QStringLiteral("工具(&T)"));
    ui.mnuToolPy = action(ui.mnuTool, QStringLiteral("mnuToolPy"), QStringLiteral("[汉语拼音] 提示"));
    ui.mnuToolPy->setCheckable(true);
    ui.mnuToolPy->setChecked(true);
    ui.mnuTool->addSeparator();
    ui.mnuToolLock = action(ui.mnuTool, QStringLiteral("mnuToolLock"), QStringLiteral("[数据库] 锁定"));
    ui.mnuToolLock->setCheckable(true);
    ui.mnuToolFile = action(ui.mnuTool, QStringLiteral("mnuToolFile"), QStringLiteral("[数据库] 切换"));
    ui.mnuToolDbCheck = action(ui.mnuTool, QStringLiteral("mnuToolDbCheck"), QStringLiteral("数据库检查"));
    ui.mnuTool->addSeparator();
    ui.mnuToolCHK = action(ui.mnuTool, QStringLiteral("mnuToolCHK"), QStringLiteral("[重复诗词] 检验"));
    ui.mnuToolCHK->setCheckable(true);

    ui.mnuHlp = menu(QStringLiteral("mnuHlp"), QStringLiteral("帮助(&H)"));
    ui.mnuHlpBook = action(ui.mnuHlp, QStringLiteral("mnuHlpBook"), QStringLiteral("联机手册"));
    ui.mnuHlp->addSeparator();
    ui.mnuPreface = action(ui.mnuHlp, QStringLiteral("mnuPreface"), QStringLiteral("编者的话"));
    ui.mnuHlp->addSeparator();
    ui.mnuHlpHtml = action(ui.mnuHlp, QStringLiteral("mnuHlpHtml"), QStringLiteral("澄川诗词网站"));
    ui.mnuHlpMail = action(ui.mnuHlp, QStringLiteral("mnuHlpMail"), QStringLiteral("与我联系"));
    ui.mnuHlp->addSeparator();
    ui.mnuAbout = action(ui.mnuHlp, QStringLiteral("mnuAbout"), QStringLiteral("关于..."));
}

void MainWindow::setupStatusBar() {
    ui.StatusBar1 = new QStatusBar(this);
    ui.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    ui.StatusBar1->setSizeGripEnabled(true);
    setStatusBar(ui.StatusBar1);
    struct Panel {
        const char* key;
        const char* text;
        int twips;
    };
    const Panel panels[] = {
        {"myTotal", "系统总计：xxxx题(xxxx首)", 4402}, {"mySelect", "目前选入：xxxx题(xxxx首)", 4393},
        {"myModel", "诗词模板：", 4198},              {"myState", "状态：查询", 3440},
        {"myCheck", "", 530},                         {"myCredit", "澄川软件 · 诗词典藏", 3916},
        {"myPath", "", 2540},
    };
    for (size_t i = 0; i < 7; ++i) {
        auto* p = new QLabel(QString::fromUtf8(panels[i].text), ui.StatusBar1);
        p->setObjectName(QString::fromUtf8(panels[i].key));
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Sunken);
        // The counts, template and state panels are as wide as their text (a whole
        // collection's totals run to six digits twice). The credit and path panels
        // share what is left; the path's tooltip shows it whole.
        const bool shares = i == 5 || i == 6;
        p->setSizePolicy(shares ? QSizePolicy::Ignored : QSizePolicy::Preferred, QSizePolicy::Preferred);
        // The lock mark's panel keeps its width whether empty or not.
        p->setMinimumWidth(i == 4 ? twipsToPixels(panels[i].twips) : shares ? 40 : 24);
        ui.StatusBar1->addWidget(p, shares ? panels[i].twips / 100 : 0);
        ui.panels[i] = p;
    }
    ui.myTotal = ui.panels[0];
    ui.mySelect = ui.panels[1];
    ui.myModel = ui.panels[2];
    ui.myState = ui.panels[3];
    ui.myCheck = ui.panels[4];
    ui.panels[6]->setTextFormat(Qt::PlainText);
}
