#include "editor/QRVTitleCompletionPopup.h"

#include "editor/QRVTitleFieldText.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qrv {

namespace {
constexpr int kVisibleRows = 12;
constexpr int kMaximumWidth = 520;
} // namespace

class QRVTitleCompletionPopup::Candidates : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    QStringList list;

    void setList(const QStringList& candidates) {
        beginResetModel();
        list = candidates;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(list.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= list.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return QRVTitleFieldText::shown(list.at(index.row()));
        return {};
    }
};

QRVTitleCompletionPopup::QRVTitleCompletionPopup(QWidget* field)
    : QFrame(field, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_field(field)
    , m_list(new QListView(this))
    , m_candidates(new Candidates(this)) {
    setObjectName(QStringLiteral("titleCompletionPopup"));
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_WindowPropagation);
    // A window of its own that never takes the focus or the activation: the
    // field keeps the keyboard, so an edit goes on as the list comes and goes.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_list);
    m_list->setObjectName(QStringLiteral("titleCompletionList"));
    m_list->setAccessibleName(tr("Completions"));
    m_list->setModel(m_candidates);
    m_list->setUniformItemSizes(true); // thousands of rows lay out at once
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMinimumSize(1, 1); // as short as its rows, not a scroll area's least
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) {
        emit chosen(m_candidates->list.value(index.row()));
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid() || !QAccessible::isActive())
                    return;
                QAccessibleEvent focus(m_list, QAccessible::Focus);
                focus.setChild(current.row());
                QAccessible::updateAccessibility(&focus);
            });
}

void QRVTitleCompletionPopup::showCandidates(const QStringList& candidates, int selected, int x) {
    m_candidates->setList(candidates);
    selectRow(selected);
    m_list->scrollToTop();
    if (selected >= 0)
        m_list->scrollTo(m_candidates->index(selected));

    const int rowHeight = std::max(m_list->sizeHintForRow(0), 1);
    const int rows = std::min<int>(int(candidates.size()), kVisibleRows);
    int width = m_field->width() - x;
    // Measuring every row of a huge list would cost more than the keystroke.
    for (qsizetype row = 0; row < std::min<qsizetype>(candidates.size(), 200); ++row)
        width = std::max(width, m_list->sizeHintForIndex(m_candidates->index(int(row))).width());
    if (candidates.size() > kVisibleRows)
        width += m_list->verticalScrollBar()->sizeHint().width();
    resize(std::min(width + 8, kMaximumWidth), rows * rowHeight + 2 * frameWidth() + 2);

    QPoint at = m_field->mapToGlobal(QPoint(x, m_field->height()));
    if (const QScreen* screen = m_field->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height() > area.bottom())
            at.setY(m_field->mapToGlobal(QPoint(0, 0)).y() - height()); // above, when no room below
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width)));
    }
    move(at);
    if (!isVisible()) {
        m_field->window()->installEventFilter(this);
        show();
    }
}

const QStringList& QRVTitleCompletionPopup::candidates() const {
    return m_candidates->list;
}

int QRVTitleCompletionPopup::selectedRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString QRVTitleCompletionPopup::selectedCandidate() const {
    const int row = selectedRow();
    return row < 0 ? QString() : m_candidates->list.value(row);
}

void QRVTitleCompletionPopup::selectRow(int row) {
    if (row < 0 || row >= m_candidates->rowCount()) {
        m_list->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_candidates->index(row);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}

bool QRVTitleCompletionPopup::moveSelection(int key) {
    const int count = m_candidates->rowCount();
    if (count == 0)
        return false;
    const int page =
        std::max(1, m_list->viewport()->height() / std::max(m_list->sizeHintForRow(0), 1));
    const int row = selectedRow();
    switch (key) {
    case Qt::Key_Down:
        selectRow(row < 0 ? 0 : std::min(row + 1, count - 1));
        return true;
    case Qt::Key_Up:
        selectRow(row <= 0 ? 0 : row - 1);
        return true;
    case Qt::Key_PageDown:
        selectRow(std::min(std::max(row, 0) + page, count - 1));
        return true;
    case Qt::Key_PageUp:
        selectRow(std::max(row - page, 0));
        return true;
    default:
        return false;
    }
}

void QRVTitleCompletionPopup::hideEvent(QHideEvent* event) {
    m_field->window()->removeEventFilter(this);
    QFrame::hideEvent(event);
}

// The list stays under the field: it closes when the field's window moves away.
bool QRVTitleCompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field->window() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
         event->type() == QEvent::Hide || event->type() == QEvent::WindowDeactivate))
        hide();
    return QFrame::eventFilter(watched, event);
}

} // namespace qrv
