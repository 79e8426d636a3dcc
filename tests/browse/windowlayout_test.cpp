#include "browse/windowlayout.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const TwipRect& r, std::ostream* os) {
    *os << '(' << r.left << ", " << r.top << ", " << r.width << ", " << r.height
        << (r.visible ? ")" : ", hidden)");
}

namespace {

// A restored window with room around the client area W x H, a 300-twip status
// bar, on a 1280 x 720 pixel screen at 15 twips per pixel.
WindowState restored(int W, int H) {
    WindowState s;
    s.innerWidth = W;
    s.innerHeight = H;
    s.outerWidth = W + 120;
    s.outerHeight = H + 900;
    s.statusHeight = 300;
    s.screenWidth = 19200;
    s.screenHeight = 10800;
    return s;
}

LayoutRects laidOut(const WindowState& s) {
    LayoutRects r = designLayout();
    EXPECT_EQ(FormResize(s, r).outcome, LayoutOutcome::LaidOut);
    return r;
}

TwipRect at(int left, int top, int width, int height, bool visible = true) {
    return {left, top, width, height, visible};
}

}  // namespace

TEST(WindowLayout, DesignSizedWindowGetsHandComputedRectangles) {
    const LayoutRects r = laidOut(restored(11910, 7500));
    EXPECT_EQ(r.fraTop, at(0, -90, 11910, 1020));
    EXPECT_EQ(r.Image1.width, 11910);
    // Column 7500 - 840 - 300 = 6360: title list a third less the history box.
    EXPECT_EQ(r.fraSelect, at(0, 840, 2565, 6360));
    EXPECT_EQ(r.lstTitle, at(-15, 4240, 2550, 1820));
    EXPECT_EQ(r.tvwList, at(0, 525, 2520, 3690));
    EXPECT_EQ(r.cboTitle2.top, 6060);
    EXPECT_EQ(r.cboTitle3.top, 6060);
    EXPECT_EQ(r.imgPoet, at(10395, 1395, 1515, 4285));
    EXPECT_EQ(r.cboPoet2, at(10405, 6920, 1245, 300));
    EXPECT_EQ(r.cmdPoetExpand, at(11650, 6900, 300, 300));
    EXPECT_EQ(r.txtPoet2, at(10395, 5080, 1515, 1820));
    EXPECT_EQ(r.cmdPoetOk, at(10425, 4765, 750, 315, false));
    EXPECT_EQ(r.cmdPoetCancel, at(11195, 4765, 750, 315, false));
    EXPECT_EQ(r.lblPoet2.left, 10425);
    EXPECT_EQ(r.lblPoet2.top, 4815);
    EXPECT_EQ(r.RichTextBox1, at(3495, 1405, 6900, 5780));
    EXPECT_EQ(r.fraBook, at(3480, 840, 8430, 555));
    EXPECT_EQ(r.fraModel.width, 8430);
    EXPECT_EQ(r.fraSeek.width, 8430);
    EXPECT_EQ(r.txtPre.width, 7710);
    EXPECT_EQ(r.txtContent.width, 7710);
    EXPECT_EQ(r.txtMemo.width, 7710);
    EXPECT_EQ(r.cmdSeekCancel.left, 7560);
    EXPECT_EQ(r.cmdSeekOk.left, 6770);
    EXPECT_EQ(r.cmdEditOk.left, 6770);
    EXPECT_EQ(r.cmdPrint.left, 7930);
    EXPECT_EQ(r.cmdSetting.left, 4830);
    EXPECT_EQ(r.cmdSave.left, 5310);
}

TEST(WindowLayout, NegativeSizeIsSkippedAndLayoutGoesOn) {
    WindowState s = restored(6000, 1000);
    s.maximized = true;
    const LayoutRects r = laidOut(s);
    EXPECT_EQ(r.fraSelect.height, 6765);  // 1000 - 840 - 300 < 0: design height kept
    EXPECT_EQ(r.lstTitle.height, 2255 - 300);
    EXPECT_EQ(r.imgPoet.left, 6000 - 1515);
}

TEST(WindowLayout, TooSmallRestoredWindowSnapsToMinimumCentred) {
    // 9000 wide with ample height, then ample width but 6899 high, then exactly the minimum.
    const int cases[][3] = {{9000, 9000, 1}, {12000, 6899, 1}, {9720, 6900, 0}};
    for (const auto& [outerW, outerH, snaps] : cases) {
        WindowState s = restored(outerW - 120, outerH - 900);
        LayoutRects r = designLayout();
        const LayoutResult res = FormResize(s, r);
        if (snaps) {
            EXPECT_EQ(res.outcome, LayoutOutcome::SnapWindow) << outerW << 'x' << outerH;
            EXPECT_EQ(res.window, at(4740, 1950, 9720, 6900));
            EXPECT_EQ(r, designLayout());  // nothing else in this pass
        } else {
            EXPECT_EQ(res.outcome, LayoutOutcome::LaidOut);
        }
    }
}

TEST(WindowLayout, MaximisedIsLaidOutAtAnySizeMinimisedIsLeftAlone) {
    WindowState s = restored(7900, 5000);
    s.maximized = true;
    s.outerWidth = s.screenWidth = 8000;
    s.outerHeight = s.screenHeight = 6000;
    EXPECT_EQ(laidOut(s).imgPoet.left, 7900 - 1515);

    s.maximized = false;
    s.minimized = true;
    LayoutRects r = designLayout();
    EXPECT_EQ(FormResize(s, r).outcome, LayoutOutcome::LeftAlone);
    EXPECT_EQ(r, designLayout());
}

TEST(WindowLayout, BookStripThresholdAt10430) {
    // The text pane ends at W - 1515: 10430 for W = 11945.
    LayoutRects r = laidOut(restored(11945, 7500));
    ASSERT_EQ(r.RichTextBox1.right(), 10430);
    EXPECT_EQ(r.fraBook.width, 11945 - 3480);
    EXPECT_EQ(r.imgPoet.top, r.fraBook.bottom());

    r = laidOut(restored(11946, 7500));
    ASSERT_EQ(r.RichTextBox1.right(), 10431);
    EXPECT_EQ(r.fraBook.width, 10431 - 3480);
    EXPECT_EQ(r.imgPoet.top, r.fraTop.bottom());
}

TEST(WindowLayout, TemplateButtonsFollowPanelWidth) {
    // Panel = W - 3480 up to W = 11945, then W - 4995. Buttons 720 wide, Line6 at 4500.
    struct Case { int W; bool del; int cancelLeft; bool onCheckRow; };
    const Case cases[] = {
        {11111, true, 7631 - 840, true},    // 7631 > 4w + X + 250
        {11110, false, 7630 - 820, true},   // not above: three
        {10351, false, 6871 - 820, true},   // 6871 > 3w + X + 210
        {10350, false, 4500 - 720, false},  // left of Line6
        {11946, false, 6951 - 820, true},   // strip stops at the pane: narrower again
    };
    for (const Case& c : cases) {
        const LayoutRects r = laidOut(restored(c.W, 7500));
        SCOPED_TRACE(c.W);
        EXPECT_EQ(r.cmdDel.visible, c.del);
        EXPECT_EQ(r.cmdSaveCancel.left, c.cancelLeft);
        EXPECT_EQ(r.cmdSave.left, c.cancelLeft - (c.del ? 3 : 2) * 760);
        EXPECT_EQ(r.cmdSaveTo.left, r.cmdSave.left + 760);
        EXPECT_EQ(r.cmdSave.top, c.onCheckRow ? r.chkFontBold.top : r.cboModel.top);
    }
    // Hidden once, cmdDel comes back when the panel widens again.
    LayoutRects r = laidOut(restored(10350, 7500));
    FormResize(restored(11945, 7500), r);
    EXPECT_TRUE(r.cmdDel.visible);
}

TEST(WindowLayout, ToolbarGapsHoldWhateverTheButtonWidths) {
    LayoutRects r = designLayout();
    r.cmdPrint.width = 500;
    r.cmdSeek.width = 300;
    r.cmdBmkSeek.width = 450;
    r.cmdEdit.width = 600;
    FormResize(restored(11000, 7500), r);
    const TwipRect* order[] = {&r.cmdSetting,     &r.cmdPoet,    &r.cmdEdit, &r.cmdBookmarkAdd,
                               &r.cmdBookmarkDel, &r.cmdBmkSeek, &r.cmdSeek, &r.cmdPrint};
    const int gaps[] = {40, 10, 40, 10, 10, 40, 10};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(order[i + 1]->left - order[i]->right(), gaps[i]) << "after button " << i;
    EXPECT_EQ(r.fraBook.width - r.cmdPrint.right(), 80);
}

TEST(TextPane, SitsBelowTheLowestShownPanel) {
    WindowState s = restored(11910, 7500);
    LayoutRects r = designLayout();
    const bool model[] = {true, false, false}, seek[] = {true, true, false};
    const int top[] = {1305 + 1050 + 10, 1305 + 3300 + 10, 840 + 555 + 10};
    for (int i = 0; i < 3; ++i) {
        s.modelShown = model[i];
        s.seekShown = seek[i];
        ArrangeTextPane(s, r);
        EXPECT_EQ(r.RichTextBox1.top, top[i]);
        EXPECT_EQ(r.RichTextBox1.height, 7500 - top[i] - 300 - 15);
    }
}

TEST(TextPane, ExpandedPoetPanelWithoutRoomGivesZeroHeightTwentyUp) {
    // Expanded height = H - 1405 - 300 - 15 - 1830 - 300 = H - 3850.
    WindowState s = restored(11910, 3851);
    s.poetExpanded = true;
    LayoutRects r = designLayout();
    ArrangeTextPane(s, r);
    EXPECT_EQ(r.RichTextBox1.height, 1);
    EXPECT_EQ(r.RichTextBox1.top, 1405);
    s.innerHeight = 3850;
    ArrangeTextPane(s, r);
    EXPECT_EQ(r.RichTextBox1.height, 0);
    EXPECT_EQ(r.RichTextBox1.top, 1385);
}

TEST(PoetZoom, ToggleTwiceRestoresTextPane) {
    LayoutRects r = laidOut(restored(11910, 7500));
    const TwipRect pane = r.RichTextBox1;
    QString state = PoetExpandToggle(QStringLiteral("0"), 11910, r);
    EXPECT_TRUE(IsPoetExpanded(state));
    EXPECT_EQ(r.RichTextBox1.height, 5780 - (1820 + 300 + 10));
    EXPECT_EQ(r.txtPoet2, at(3495, r.txtPoet2.top, 11910 - 3495, r.txtPoet2.height));

    state = PoetExpandToggle(state, 11910, r);
    EXPECT_EQ(state, QStringLiteral("0"));
    EXPECT_EQ(r.RichTextBox1, pane);
    EXPECT_EQ(r.txtPoet2.left, 10395);
}

TEST(PoetZoom, StateReadingAsZeroExpands) {
    LayoutRects r = designLayout();
    for (const char* zero : {"0", "", " 0", "0.0", "-0", "abc"})
        EXPECT_EQ(PoetExpandToggle(QString::fromLatin1(zero), 11910, r), u"1") << zero;
    for (const char* other : {"1", "2", "-1", " 1", "0.5", "01"})
        EXPECT_EQ(PoetExpandToggle(QString::fromLatin1(other), 11910, r), u"0") << other;
}
