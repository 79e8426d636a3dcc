#include "browse/browsequeries.h"

namespace {

const char* groupingQuery(TitleGrouping grouping) {
    switch (grouping) {
    case TitleGrouping::ByDynasty:
        return "select distinct a.fDynasty,a.fPoet,b.fID from (Poetry a Left Join PoetDynasty b On "
               "a.fDynasty=b.fDynasty) %1 Order By b.fID,a.fPoet";
    case TitleGrouping::ByPoet:
        return "select distinct a.fPoet,'' as bb from Poetry a %1 Order By a.fPoet";
    case TitleGrouping::ByForm:
        return "select distinct a.fStyle,a.fPoet from Poetry a %1 Order By a.fStyle,a.fPoet";
    }
    return nullptr;
}

} // namespace

void ReadGroupingRows(SqlDatabase& db, TitleGrouping grouping, const QString& filter,
                      const std::function<void(QByteArrayView group, QByteArrayView child)>& row) {
    const char* query = groupingQuery(grouping);
    if (!query) return;
    SqlStatement st = db.prepare(QString::fromUtf8(query).arg(filter));
    while (st.next()) row(st.utf8(0), st.utf8(1));
}

PoemCounts CountPoems(SqlDatabase& db, const QString& filter) {
    PoemCounts counts;
    db.scalarInt(QStringLiteral("Select Count(*) from Poetry a ") + filter, &counts.titles);
    if (counts.titles > 0 && !db.scalarInt(QStringLiteral("Select sum(a.fQty) from Poetry a ") + filter, &counts.poems))
        counts.poems = 0;
    return counts;
}
