#include "titlelistview.h"

#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QTreeView>

TitleListView::TitleListView(QWidget* parent) : QWidget(parent) {
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("lstTitleIcons"));
    m_list->setUniformItemSizes(true);
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(2000);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details = new QTreeView(this);
    m_details->setObjectName(QStringLiteral("lstTitleDetails"));
    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setItemsExpandable(false);
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_stack->addWidget(m_list);
    m_stack->addWidget(m_details);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(m_list), static_cast<QAbstractItemView*>(m_details)}) {
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { emit itemClicked(i.row()); });
    }
    setFocusProxy(m_list);
    setViewStyle(2);
}

void TitleListView::setModel(QAbstractItemModel* model) {
    m_model = model;
    m_list->setModel(model);
    m_details->setModel(model);
    // Both views show one selection.
    m_details->setSelectionModel(m_list->selectionModel());
}

void TitleListView::setViewStyle(int style) {
    if (style < 0 || style > 3) style = 2;
    m_style = style;
    if (style == 3) {
        m_stack->setCurrentWidget(m_details);
        setFocusProxy(m_details);
        emit viewStyleChanged(style);
        return;
    }
    m_stack->setCurrentWidget(m_list);
    setFocusProxy(m_list);
    if (style == 0) {
        m_list->setViewMode(QListView::IconMode);
        m_list->setIconSize(QSize(32, 32));
        m_list->setGridSize(QSize(96, 64));
        m_list->setWordWrap(true);
    } else if (style == 1) {
        m_list->setViewMode(QListView::IconMode);
        m_list->setIconSize(QSize(16, 16));
        m_list->setGridSize(QSize());
        m_list->setWordWrap(false);
    } else {
        m_list->setViewMode(QListView::ListMode);
        m_list->setIconSize(QSize(16, 16));
        m_list->setGridSize(QSize());
        m_list->setWordWrap(false);
    }
    m_list->setMovement(QListView::Static);
    m_list->setResizeMode(QListView::Adjust);
    setArrangement(m_arrange);
    emit viewStyleChanged(style);
}

void TitleListView::setArrangement(int arrange) {
    m_arrange = arrange == 2 ? 2 : 1;
    if (m_style == 0 || m_style == 1) m_list->setFlow(m_arrange == 1 ? QListView::TopToBottom : QListView::LeftToRight);
    else m_list->setFlow(QListView::TopToBottom);
    // Icons wrap into rows or columns; the list style is one plain column, which
    // suits the narrow left column best.
    m_list->setWrapping(m_style == 0 || m_style == 1);
}

QAbstractItemView* TitleListView::currentView() const {
    return m_style == 3 ? static_cast<QAbstractItemView*>(m_details) : m_list;
}

bool TitleListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) emit rightButtonPressed(me->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}
