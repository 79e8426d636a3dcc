#pragma once
// Draws a booklet of poems onto pages: a cover with the title, a table of
// contents, then the poems in one of three layouts (horizontal as the pane
// shows them, vertical columns right to left, a practice grid), page numbers
// at the foot. Works in two passes, so that the contents can name the page of
// every poem: the first places the poems on pages, the second draws them.
// Everything runs on the calling thread; a progress callback between poems
// lets the caller keep its window responsive and stop the work.
#include "display/templateline.h"
#include "tools/bookletlayout.h"

#include <QList>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;

class BookletWriter {
public:
    BookletWriter(SqlDatabase& db, const Template& lines, const BookletOptions& options,
                  BookletNotes notes = {});

    // Called after each poem of either pass with the work done and the whole
    // work (two steps per poem); returning false stops the booklet.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    enum class Result { Written, Cancelled, Failed };
    // Writes the booklet of `ids` to `path` through a temporary file that
    // replaces the target only when the booklet is complete: a stopped or failed
    // booklet leaves no file and an existing file as it was. The reason of a
    // failure goes to *error.
    Result writePdf(const QList<qint32>& ids, const QString& path, QString* error);
    // The same to a printer that is ready to use.
    Result print(const QList<qint32>& ids, QPrinter* printer, QString* error);
    // Pages the booklet of `ids` would take, placed from `sample` poems spread
    // over the list and scaled to its length. Nothing is drawn.
    qint64 estimatePages(const QList<qint32>& ids, int sample = 60);
    // Pages of the last booklet written.
    int pageCount() const { return m_pages; }

    struct Plan;

private:
    Result render(const QList<qint32>& ids, QPagedPaintDevice* device, QString* error);

    SqlDatabase& m_db;
    Template m_lines;
    BookletOptions m_options;
    BookletNotes m_notes; // used when the options ask for pinyin
    Progress m_progress;
    int m_pages = 0;
};
