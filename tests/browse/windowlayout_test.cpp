#include "browse/windowlayout.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Qt::StringLiterals;

void PrintTo(const TwipRect& r, std::ostream* os) {
    *os << '(' << r.left << ", " << r.top << ", " << r.width << ", " << r.height << (r.visible ? ")" : ", hidden)");
}

namespace {

// A restored window with room around the client area W x H, a 300-twip status
// bar, on a 1280 x 720 pixel screen at 15 twips per pixel.
WindowState restored(int W, int H) {
    return {.outerWidth = W + 120, .outerHeight = H + 900, .innerWidth = W, .innerHeight = H, .statusHeight = 300,
            .screenWidth = 19200, .screenHeight = 10800};
}

LayoutRects laidOut(const WindowState& s) {
    LayoutRects r = designLayout();
    EXPECT_EQ(FormResize(s, r).outcome, LayoutOutcome::LaidOut);
    return r;
}

// The columns, the stacks inside them and the button rows neither overlap nor
// run past the client area above the status bar, whichever panel is shown.
void expectNothingOverlaps(WindowState s, LayoutRects r) {
    const int W = s.innerWidth, H = s.innerHeight;
    EXPECT_EQ(r.imgPoet.right(), W);
    const std::pair<int, int> ordered[] = { // each ends before the next begins
        {r.fraSelect.right(), r.RichTextBox1.left}, {r.fraSelect.right(), r.fraBook.left},
        {r.RichTextBox1.right(), r.imgPoet.left},   {r.RichTextBox1.right(), r.txtPoet2.left},
        {r.fraSelect.bottom(), H - 300},            {r.tvwList.bottom(), r.lstTitle.top},
        {r.lstTitle.bottom(), r.cboTitle2.top},     {r.txtPoet2.bottom(), r.cboPoet2.top},
        {r.cmdPrint.right(), r.fraBook.width - 1},
        {r.cmdSaveCancel.right(), r.fraModel.width}, {r.txtContent.right(), r.fraSeek.width},
        // The poet picture runs up beside the book strip only where the strip stops short of it.
        {r.imgPoet.top < r.fraBook.bottom() ? r.fraBook.right() : 0, r.imgPoet.left}};
    for (int i = 0; i < int(std::size(ordered)); ++i) EXPECT_LE(ordered[i].first, ordered[i].second) << "pair " << i;
    const TwipRect* rows[][8] = {{&r.cmdSetting, &r.cmdPoet, &r.cmdEdit, &r.cmdBookmarkAdd, &r.cmdBookmarkDel,
                                  &r.cmdBmkSeek, &r.cmdSeek, &r.cmdPrint},
                                 {&r.cmdSave, &r.cmdSaveTo, &r.cmdDel, &r.cmdSaveCancel}};
    for (const auto& row : rows)
        for (int i = 0, prev = -1; i < 8 && row[i]; ++i) {
            if (!row[i]->visible) continue;
            if (prev >= 0) { EXPECT_LT(row[prev]->right(), row[i]->left) << "button " << i; }
            prev = i;
        }
    for (const auto& [model, seek] : {std::pair{true, true}, {false, true}, {false, false}}) {
        s.modelShown = model;
        s.seekShown = seek;
        ArrangeTextPane(s, r);
        EXPECT_EQ(r.RichTextBox1.top, (model ? r.fraModel : seek ? r.fraSeek : r.fraBook).bottom() + 10);
        EXPECT_EQ(r.RichTextBox1.bottom(), H - 300 - 15);
    }
}

} // namespace

TEST(WindowLayout, NothingOverlapsFromTheMinimumToTheScreen) {
    // Template buttons: four where they fit, then three, then on the choice row left of the separator.
    const struct { int W, H; bool del, onCheckRow; } cases[] = {
        {9600, 6000, false, false}, {10350, 7500, false, false}, {10351, 7500, false, true}, {11110, 7000, false, true},
        {11111, 7500, true, true},  {11910, 7500, true, true},   {11945, 7500, true, true},  {11946, 7500, false, true},
        {19080, 9900, true, true}};
    for (const auto& [W, H, del, onCheckRow] : cases) {
        SCOPED_TRACE(testing::Message() << W << 'x' << H);
        const LayoutRects r = laidOut(restored(W, H));
        expectNothingOverlaps(restored(W, H), r);
        EXPECT_EQ(r.cmdDel.visible, del);
        EXPECT_EQ(r.cmdSave.top, onCheckRow ? r.chkFontBold.top : r.cboModel.top);
        if (!onCheckRow) { EXPECT_LE(r.cmdSaveCancel.right(), r.line6X); }
    }
    // Hidden once, cmdDel comes back when the panel widens again.
    LayoutRects r = laidOut(restored(10350, 7500));
    FormResize(restored(11945, 7500), r);
    EXPECT_TRUE(r.cmdDel.visible);
}

TEST(WindowLayout, TooSmallSnapsBackMaximisedAnySizeMinimisedLeftAlone) {
    // Ample height but 9000 wide, then ample width but 6899 high; then exactly the minimum.
    for (const auto& [outerW, outerH] : {std::pair{9000, 9000}, {12000, 6899}, {9720, 6900}}) {
        LayoutRects r = designLayout();
        const LayoutResult res = FormResize(restored(outerW - 120, outerH - 900), r);
        const bool snaps = outerW < 9720 || outerH < 6900;
        EXPECT_EQ(res.outcome, snaps ? LayoutOutcome::SnapWindow : LayoutOutcome::LaidOut) << outerW << 'x' << outerH;
        if (snaps) { EXPECT_EQ(res.window, (TwipRect{4740, 1950, 9720, 6900})); } // centred
        if (snaps) { EXPECT_EQ(r, designLayout()); } // nothing else in this pass
    }
    WindowState s = restored(6000, 1000);
    s.maximized = true;
    LayoutRects r = laidOut(s);
    EXPECT_EQ(r.fraSelect.height, designLayout().fraSelect.height); // negative: skipped, the rest goes on
    EXPECT_EQ(r.imgPoet.right(), 6000);
    s.maximized = false;
    s.minimized = true;
    r = designLayout();
    EXPECT_EQ(FormResize(s, r).outcome, LayoutOutcome::LeftAlone);
    EXPECT_EQ(r, designLayout());
}

TEST(PoetZoom, BiographyBoxSpansThePaneBelowItAndTwiceRestores) {
    LayoutRects r = laidOut(restored(11910, 7500));
    const LayoutRects before = r;
    const QString state = PoetExpandToggle(u"0"_s, 11910, r);
    EXPECT_TRUE(IsPoetExpanded(state));
    EXPECT_LE(r.RichTextBox1.bottom(), r.txtPoet2.top);
    EXPECT_EQ(r.txtPoet2.left, r.RichTextBox1.left);
    EXPECT_EQ(r.txtPoet2.right(), 11910);
    EXPECT_EQ(PoetExpandToggle(state, 11910, r), u"0");
    EXPECT_EQ(r, before);
    // Expanded without room, the text pane shrinks to nothing, never below.
    WindowState s = restored(11910, 3850);
    s.poetExpanded = true;
    ArrangeTextPane(s, r = designLayout());
    EXPECT_EQ(r.RichTextBox1.height, 0);
}
