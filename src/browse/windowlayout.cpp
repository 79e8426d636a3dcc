#include "browse/windowlayout.h"

namespace {

// Gap between the text pane and the panel above it, and the margin kept above
// the status bar.
constexpr int kPaneGap = 10;
constexpr int kPaneFootMargin = 15;

// A control cannot take a negative size: such a placement is skipped and the
// control keeps the size it had, so later placements read the old value.
void setWidth(TwipRect& r, int width) {
    if (width >= 0)
        r.width = width;
}

void setHeight(TwipRect& r, int height) {
    if (height >= 0)
        r.height = height;
}

// True when the text reads as the number 0 the way the state has always been
// read: blanks are ignored, an optional sign, digits and one decimal point
// form the number, reading stops at the first other character, and a text
// without digits reads as 0.
bool readsAsZero(const QString& text) {
    bool seenPoint = false;
    bool signAllowed = true;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (signAllowed && (c == u'+' || c == u'-')) {
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c >= u'1' && c <= u'9')
            return false;
        if (c != u'0')
            break;
    }
    return true;
}

// Toolbar buttons from right to left, each with the gap to its right-hand
// neighbour; the first gap is the margin to the strip's right edge.
struct ToolbarSlot {
    TwipRect LayoutRects::*button;
    int gap;
};
constexpr ToolbarSlot kToolbar[] = {
    {&LayoutRects::cmdPrint, 80},       {&LayoutRects::cmdSeek, 10},
    {&LayoutRects::cmdBmkSeek, 40},     {&LayoutRects::cmdBookmarkDel, 10},
    {&LayoutRects::cmdBookmarkAdd, 10}, {&LayoutRects::cmdEdit, 40},
    {&LayoutRects::cmdPoet, 10},        {&LayoutRects::cmdSetting, 40},
};

void placeTemplateButtons(LayoutRects& r) {
    const int w = r.cmdSave.width;
    const int x = r.line6X;
    const int panel = r.fraModel.width;
    int row;
    int right;  // left of cmdSaveCancel
    if (4 * w + x + 250 < panel) {
        r.cmdDel.visible = true;
        right = panel - w - 120;
        row = r.chkFontBold.top;
    } else if (3 * w + x + 210 < panel) {
        r.cmdDel.visible = false;
        right = panel - w - 100;
        row = r.chkFontBold.top;
    } else {
        r.cmdDel.visible = false;
        right = x - w;
        row = r.cboModel.top;
    }
    // A hidden cmdDel leaves no gap: cmdSaveTo moves into its place.
    TwipRect LayoutRects::*const order[] = {&LayoutRects::cmdSaveCancel, &LayoutRects::cmdDel,
                                            &LayoutRects::cmdSaveTo, &LayoutRects::cmdSave};
    int left = right;
    for (TwipRect LayoutRects::*const b : order) {
        TwipRect& button = r.*b;
        if (b == &LayoutRects::cmdDel && !button.visible)
            continue;
        button.left = left;
        button.top = row;
        left -= w + 40;
    }
}

}  // namespace

// Sizes the table of design rectangles leaves open, chosen here: toolbar
// buttons 420 x 420, the poem panel's buttons and both poet buttons 750 x 315,
// the template panel's buttons 900 x 315 with the separator Line6 at X 3300
// (so four buttons fit once the panel is wider than 7150, three beside the
// check boxes above 6210), the cboModel row at top 150 and the chkFontBold row
// at top 600, the history and duplicate boxes 300 high at the column's foot,
// txtPre/txtContent/txtMemo starting 600 into the poem panel and ending 120
// before its right edge, and the banner Image1 filling fraTop below its
// hidden top 90 twips.
LayoutRects designLayout() {
    LayoutRects r;
    r.fraTop = {0, -90, 11910, 1020};
    r.Image1 = {0, 90, 11910, 930};

    r.fraSelect = {0, 840, 2565, 6765};
    r.cboList = {0, 165, 2520, 300};
    r.tvwList = {0, 525, 2520, 3990};
    r.lstTitle = {-15, 4530, 2550, 1905};
    r.cboTitle2 = {-15, 6465, 2550, 300};
    r.cboTitle3 = {-15, 6465, 2550, 300, false};

    r.fraBook = {3480, 840, 6915, 555};
    // Right-aligned in the 6915-wide strip with the toolbar gaps.
    r.cmdSetting = {3315, 90, 420, 420};
    r.cmdPoet = {3775, 90, 420, 420};
    r.cmdEdit = {4205, 90, 420, 420};
    r.cmdBookmarkAdd = {4665, 90, 420, 420};
    r.cmdBookmarkDel = {5095, 90, 420, 420};
    r.cmdBmkSeek = {5525, 90, 420, 420};
    r.cmdSeek = {5985, 90, 420, 420};
    r.cmdPrint = {6415, 90, 420, 420};

    r.fraModel = {3480, 1305, 6915, 1050, false};
    // The line-kind formats sit left of the separator Line6; the template choice
    // and, where they fit, the four buttons right of it.
    r.line6X = 4500;
    r.cboModel = {4600, 60, 1400, 300};
    r.chkFontBold = {1720, 390, 300, 300};
    r.cmdSave = {4575, 390, 720, 315};
    r.cmdSaveTo = {5335, 390, 720, 315};
    r.cmdDel = {5335, 390, 720, 315, false};
    r.cmdSaveCancel = {6095, 390, 720, 315};

    r.fraSeek = {3480, 1305, 6915, 3300, false};
    r.txtPre = {600, 780, 6195, 480};
    r.txtContent = {600, 1320, 6195, 1080};
    r.txtMemo = {600, 2460, 6195, 420};
    r.cmdSeekCancel = {6045, 2940, 750, 315};
    r.cmdSeekOk = {5255, 2940, 750, 315};
    r.cmdEditOk = {5255, 2940, 750, 315, false};

    r.RichTextBox1 = {3495, 5580, 6855, 2010};

    r.imgPoet = {10395, 930, 1515, 5820};
    r.txtPoet2 = {10350, 5460, 1560, 1830};
    r.lblPoet2 = {10380, 5190, 1200, 255};
    r.cboPoet2 = {10365, 7305, 1245, 300};
    r.cmdPoetExpand = {11610, 7290, 300, 300};
    r.cmdPoetOk = {10425, 5145, 750, 315, false};
    r.cmdPoetCancel = {11195, 5145, 750, 315, false};

    r.StatusBar1 = {0, 7605, 11925, 300};
    return r;
}

void ArrangeTextPane(const WindowState& window, LayoutRects& r) {
    TwipRect& pane = r.RichTextBox1;
    pane.visible = false;

    const TwipRect& above = window.modelShown ? r.fraModel
                            : window.seekShown ? r.fraSeek
                                               : r.fraBook;
    pane.top = above.bottom() + kPaneGap;

    const int free = window.innerHeight - pane.top - window.statusHeight - kPaneFootMargin;
    if (window.poetExpanded) {
        const int height = free - r.txtPoet2.height - r.cmdPoetExpand.height;
        if (height < 1) {
            pane.height = 0;
            pane.top -= 20;
        } else {
            pane.height = height;
        }
    } else {
        // Nothing below the pane to make room for: a window too low for any
        // text simply shows an empty pane.
        pane.height = free < 0 ? 0 : free;
    }

    pane.visible = true;
}

LayoutResult FormResize(const WindowState& window, LayoutRects& r) {
    LayoutResult result;
    // 1. A minimised window keeps its layout for when it is restored.
    if (window.minimized)
        return result;

    // 2. Below the minimum size the window snaps back, centred; the resize this
    // causes lays it out.
    if (!window.maximized &&
        (window.outerWidth < kMinWindowWidth || window.outerHeight < kMinWindowHeight)) {
        result.outcome = LayoutOutcome::SnapWindow;
        result.window = {(window.screenWidth - kMinWindowWidth) / 2,
                         (window.screenHeight - kMinWindowHeight) / 2, kMinWindowWidth,
                         kMinWindowHeight};
        return result;
    }
    result.outcome = LayoutOutcome::LaidOut;

    const int W = window.innerWidth;
    const int H = window.innerHeight;
    const int S = window.statusHeight;

    // The status bar is docked at the foot, across the whole width.
    r.StatusBar1.left = 0;
    r.StatusBar1.top = H - S;
    setWidth(r.StatusBar1, W);
    setHeight(r.StatusBar1, S);

    // 3. Top strip.
    setWidth(r.fraTop, W);
    setWidth(r.Image1, W);

    // 4. Right column, horizontally.
    r.imgPoet.left = W - r.imgPoet.width;
    r.cboPoet2.left = r.imgPoet.left + 10;
    r.cmdPoetExpand.left = r.cboPoet2.left + r.cboPoet2.width;

    // 5. Foot of the right column.
    r.cmdPoetExpand.top = H - r.cmdPoetExpand.height - S;
    r.cboPoet2.top = r.cmdPoetExpand.top + 20;

    // 6. Left column: tree about two thirds, title list one third less the
    // history box, history box at the foot. The third is rounded to the
    // nearest twip (halves up).
    setHeight(r.fraSelect, H - r.fraSelect.top - S);
    const int column = r.fraSelect.height;
    const int history = r.cboTitle2.height;
    setHeight(r.lstTitle, (column + 1) / 3 - history);
    r.lstTitle.top = column - r.lstTitle.height - history;
    setHeight(r.tvwList, r.lstTitle.top - r.tvwList.top - 25);
    r.cboTitle2.top = column - history;
    r.cboTitle3.top = r.cboTitle2.top;

    // 7. Biography box as high as the title list, above the name box; its
    // buttons and label just above it.
    setHeight(r.txtPoet2, r.lstTitle.height);
    r.txtPoet2.top = H - r.lstTitle.height - S - r.cmdPoetExpand.height;
    r.cmdPoetOk.top = r.txtPoet2.top - r.cmdPoetOk.height;
    r.cmdPoetCancel.top = r.cmdPoetOk.top;
    r.cmdPoetOk.left = r.imgPoet.left + 30;
    r.cmdPoetCancel.left = r.cmdPoetOk.left + r.cmdPoetOk.width + 20;
    r.lblPoet2.left = r.cmdPoetOk.left;
    r.lblPoet2.top = r.cmdPoetOk.top + 50;

    // 8. Text pane fills the text column.
    setWidth(r.RichTextBox1, W - r.RichTextBox1.left - r.imgPoet.width);

    // 9.
    ArrangeTextPane(window, r);

    // 10. Biography box under the text pane when expanded, in the right column otherwise.
    r.txtPoet2.left = window.poetExpanded ? r.RichTextBox1.left : r.RichTextBox1.right();
    setWidth(r.txtPoet2, W - r.txtPoet2.left);

    // 11. Book strip and poet picture.
    const int textRight = r.RichTextBox1.right();
    if (textRight > kBookStripLimit) {
        setWidth(r.fraBook, textRight - r.fraBook.left);
        r.imgPoet.top = r.fraTop.bottom();
    } else {
        setWidth(r.fraBook, W - r.fraBook.left);
        r.imgPoet.top = r.fraBook.bottom();
    }

    // 12.
    setHeight(r.imgPoet, H - r.imgPoet.top - r.txtPoet2.height);

    // 13. Both panels as wide as the book strip; the poem panel's fields and
    // buttons follow its right edge.
    setWidth(r.fraModel, r.fraBook.width);
    setWidth(r.fraSeek, r.fraBook.width);
    const int panel = r.fraSeek.width;
    setWidth(r.txtPre, panel - r.txtPre.left - 120);
    setWidth(r.txtContent, r.txtPre.width);
    setWidth(r.txtMemo, r.txtPre.width);
    r.cmdSeekCancel.left = panel - r.cmdSeekCancel.width - 120;
    r.cmdSeekOk.left = r.cmdSeekCancel.left - r.cmdSeekOk.width - 40;
    r.cmdEditOk.left = r.cmdSeekOk.left;

    // 14. Toolbar, right-aligned in the book strip.
    int edge = r.fraBook.width;
    for (const ToolbarSlot& slot : kToolbar) {
        TwipRect& button = r.*slot.button;
        button.left = edge - button.width - slot.gap;
        edge = button.left;
    }

    // 15. Template panel buttons.
    placeTemplateButtons(r);
    return result;
}

bool IsPoetExpanded(const QString& zoomState) {
    return zoomState == u"1";
}

QString PoetExpandToggle(const QString& zoomState, int innerWidth, LayoutRects& r) {
    const QString state = readsAsZero(zoomState) ? QStringLiteral("1") : QStringLiteral("0");
    TwipRect& pane = r.RichTextBox1;
    const int delta = r.txtPoet2.height + r.cmdPoetExpand.height + 10;
    if (state == u"1") {
        r.txtPoet2.left = pane.left;
        setHeight(pane, pane.height - delta);
    } else {
        r.txtPoet2.left = pane.right();
        setHeight(pane, pane.height + delta);
    }
    setWidth(r.txtPoet2, innerWidth - r.txtPoet2.left);
    return state;
}
