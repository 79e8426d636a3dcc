#pragma once
// Geometry of the main window, in twips (1440 per inch), kept apart from the
// widgets so the layout rules can be computed and tested without a display.
// The window code converts the rectangles to pixels with the screen's logical
// DPI and applies them after every resize, panel switch and poet-panel zoom.
//
// Coordinates follow the control's parent: the inner controls of fraSelect
// (cboList, tvwList, lstTitle, cboTitle2, cboTitle3), of fraBook (the toolbar
// buttons), of fraSeek (txtPre ... cmdEditOk), of fraModel (cmdSave ...,
// chkFontBold, cboModel, line6X) and of fraTop (Image1) are relative to that
// frame; everything else is relative to the window's client area.
#include <QString>

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const TwipRect&) const = default;
};

// One rectangle per control that the layout rules read or move.
struct LayoutRects {
    // Top strip.
    TwipRect fraTop, Image1;
    // Left column and its contents.
    TwipRect fraSelect, cboList, tvwList, lstTitle, cboTitle2, cboTitle3;
    // Book strip and its toolbar buttons.
    TwipRect fraBook;
    TwipRect cmdSetting, cmdPoet, cmdEdit, cmdBookmarkAdd, cmdBookmarkDel, cmdBmkSeek, cmdSeek,
        cmdPrint;
    // Template panel: its buttons, the two rows they may sit on, the separator.
    TwipRect fraModel;
    TwipRect cmdSave, cmdSaveTo, cmdDel, cmdSaveCancel;
    TwipRect chkFontBold, cboModel;
    int line6X = 0;
    // Poem panel and the controls that follow its width.
    TwipRect fraSeek;
    TwipRect txtPre, txtContent, txtMemo, cmdSeekCancel, cmdSeekOk, cmdEditOk;
    // Text pane.
    TwipRect RichTextBox1;
    // Right column: poet picture, biography, name box and zoom button.
    TwipRect imgPoet, txtPoet2, lblPoet2, cboPoet2, cmdPoetExpand, cmdPoetOk, cmdPoetCancel;
    // Status bar, docked at the bottom.
    TwipRect StatusBar1;

    bool operator==(const LayoutRects&) const = default;
};

// What the layout needs to know about the window, all sizes in twips.
// innerWidth/innerHeight are the client area (W and H of the rules, status bar
// included); statusHeight is S.
struct WindowState {
    int outerWidth = 0;
    int outerHeight = 0;
    int innerWidth = 0;
    int innerHeight = 0;
    int statusHeight = 0;
    bool minimized = false;
    bool maximized = false;
    bool modelShown = false;  // template panel fraModel on screen
    bool seekShown = false;   // poem panel fraSeek on screen
    bool poetExpanded = false;
    int screenWidth = 0;
    int screenHeight = 0;
};

// Smallest outer size of a window that is not maximised.
inline constexpr int kMinWindowWidth = 9720;
inline constexpr int kMinWindowHeight = 6900;
// A text pane ending beyond this X lets the poet picture run up beside the book strip.
inline constexpr int kBookStripLimit = 10430;

enum class LayoutOutcome {
    LeftAlone,   // minimised: nothing changed
    SnapWindow,  // too small: move and resize the window to `window`, nothing else
    LaidOut,     // the rectangles have been updated
};

struct LayoutResult {
    LayoutOutcome outcome = LayoutOutcome::LeftAlone;
    TwipRect window;  // outer geometry on the screen, set with SnapWindow
};

// The rectangles the window is designed with; the starting point of every layout.
LayoutRects designLayout();

// Places the text pane below the lowest shown panel and fills the height left
// above the status bar (and above the biography box when the poet panel is
// expanded). Leaves RichTextBox1 visible.
void ArrangeTextPane(const WindowState& window, LayoutRects& rects);

// The resize layout. Updates `rects` in place; a placement that would give a
// control a negative width or height is skipped (the control keeps its size)
// and the layout goes on with the next placement.
LayoutResult FormResize(const WindowState& window, LayoutRects& rects);

// The poet panel zoom state is the text "0" (collapsed) or "1" (expanded).
bool IsPoetExpanded(const QString& zoomState);

// Toggles the poet panel zoom: returns the new state text and moves the
// biography box and the text pane accordingly. innerWidth is W. The caller
// raises the biography box (when expanded) and gives it the focus.
QString PoetExpandToggle(const QString& zoomState, int innerWidth, LayoutRects& rects);
