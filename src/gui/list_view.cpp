// The list widget: events to the list, the header menu and the cell editor.
#include "gui/list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <algorithm>

#include "gui/list_model.h"
#include "views/cell_format.h"
#include "views/view_layout.h"

namespace {

// Layouts have columns of 32 pixels, narrower than Qt's default minimum.
constexpr int kNarrowestColumn = 8;
// Rows measured when a column is fitted to its cells: enough for the widest value of a column,
// few enough that refilling a list of many orbits stays quick.
constexpr int kFitSampleRows = 300;

} // namespace

ListView::ListView(CUList& list, QWidget* parent)
    : QTableView(parent), m_list(list), m_model(new ListModel(list, this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(list.layout().fullRowSelect ? QAbstractItemView::SelectRows
                                                     : QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setFrameShape(QFrame::Box);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(kNarrowestColumn);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this,
            &ListView::showHeaderMenu);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &ListView::copyWidthsToLayout);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_applyingWidths && column < static_cast<int>(m_automaticWidth.size()))
            m_automaticWidth[static_cast<std::size_t>(column)] = false;
    });
    // Fitting columns to their cells samples this many rows.
    horizontalHeader()->setResizeContentsPrecision(kFitSampleRows);
    verticalHeader()->setResizeContentsPrecision(kFitSampleRows);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { m_list.setSelectedLine(current.row()); });
    applyLayoutWidths();
    m_list.setDisplay(this);
}

ListView::~ListView() { m_list.setDisplay(nullptr); }

void ListView::placeInPage(const QSize& pageSize)
{
    const ListPlacement place = placeList(m_list.layout(), pageSize.width(), pageSize.height());
    setGeometry(place.left, place.top, place.width, place.height);
}

void ListView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_list.leftButtonDown();
    else if (event->button() == Qt::RightButton)
        m_list.rightButtonDown(index.isValid() ? index.row() : -1, index.column());
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        m_list.doubleClick(index.row(), index.column());
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    QTableView::keyPressEvent(event);
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        m_list.upDownKey();
}

// The cell editor takes every key: Enter and Escape end the edit, and Up
// and Down, which it has no use for, must not move the list's line under it.
bool ListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_editor || event->type() != QEvent::KeyPress)
        return QTableView::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        m_list.commitEdit();
    else if (key == Qt::Key_Escape)
        m_list.cancelEdit();
    else if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    return true;
}

// The header resizes its sections while the model resets; those are not the
// user's widths, so copying them back waits until the layout's are applied.
void ListView::beginRebuild()
{
    m_applyingWidths = true;
    m_model->beginRebuild();
}

void ListView::endRebuild()
{
    m_model->endRebuild();
    applyLayoutWidths();
    fitAutomaticWidthsToContent();
}

int ListView::neededWidth(int column) const
{
    return std::max(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
}

// A column the user never sized grows to show its header and its cells, at every fill (the
// cells change with the data); the widths go into the layout. Once the user drags a column,
// its width is the user's.
void ListView::fitAutomaticWidthsToContent()
{
    if (m_list.lineCount() == 0)
        return;
    const int columns = m_list.listColumnCount();
    if (static_cast<int>(m_automaticWidth.size()) != columns) {
        m_automaticWidth.assign(static_cast<std::size_t>(columns), false);
        for (int column = 0; column < columns; ++column)
            m_automaticWidth[static_cast<std::size_t>(column)] =
                m_list.columnWidthIsDefault(column);
    }
    bool widened = false;
    m_applyingWidths = true;
    for (int column = 0; column < columns; ++column) {
        const int needed = neededWidth(column);
        if (!m_automaticWidth[static_cast<std::size_t>(column)] ||
            needed <= horizontalHeader()->sectionSize(column))
            continue;
        horizontalHeader()->resizeSection(column, needed);
        widened = true;
    }
    m_applyingWidths = false;
    if (widened)
        copyWidthsToLayout();
}

void ListView::beginAppendLine(int line) { m_model->beginAppendLine(line); }
void ListView::endAppendLine() { m_model->endAppendLine(); }
void ListView::beginRemoveLine(int line) { m_model->beginRemoveLine(line); }
void ListView::endRemoveLine() { m_model->endRemoveLine(); }
void ListView::redrawLines(int first, int last) { m_model->redrawLines(first, last); }
void ListView::showLine(int line) { scrollTo(m_model->index(line, 0)); }

void ListView::selectLine(int line)
{
    if (line < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(line, 0);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionBehavior() == QAbstractItemView::SelectRows)
        flags |= QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(index, flags);
    scrollTo(index);
}

void ListView::editStarted()
{
    const CCellEdit& edit = *m_list.cellEdit();
    const QRect cell = visualRect(m_model->index(edit.line(), edit.listColumn()));
    m_editor = new QLineEdit(viewport());
    m_editor->setObjectName(QString("cellEdit%1").arg(CCellEdit::kControlId));
    m_editor->setFont(font());
    m_editor->setMaxLength(static_cast<int>(kMaxTypedChars));
    m_editor->setGeometry(cell.adjusted(0, -1, 0, 3));
    m_editor->setText(QString::fromStdString(edit.text()));
    connect(m_editor, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_list.setEditText(text.toStdString()); });
    m_editor->installEventFilter(this);
    m_editor->selectAll();
    m_editor->show();
    m_editor->setFocus();
}

void ListView::editEnded()
{
    m_editor->hide();
    m_editor->deleteLater();
    m_editor = nullptr;
    setFocus();
}

void ListView::showHeaderMenu(const QPoint& position)
{
    const int section = horizontalHeader()->logicalIndexAt(position);
    if (section < 0)
        return;
    QMenu menu(this);
    for (const HeaderMenuItem& item : m_list.headerMenu(section)) {
        if (item.command == HeaderCommand::Separator)
            menu.addSeparator();
        else
            menu.addAction(QString::fromStdString(item.text))
                ->setData(static_cast<int>(item.command));
    }
    if (const QAction* chosen = menu.exec(horizontalHeader()->mapToGlobal(position)))
        m_list.headerCommand(section, static_cast<HeaderCommand>(chosen->data().toInt()));
}

void ListView::applyLayoutWidths()
{
    m_applyingWidths = true;
    for (int column = 0; column < m_list.listColumnCount(); ++column)
        horizontalHeader()->resizeSection(column, m_list.columnWidth(column));
    m_applyingWidths = false;
}

void ListView::copyWidthsToLayout()
{
    if (m_applyingWidths)
        return;
    std::vector<int> widths;
    for (int column = 0; column < horizontalHeader()->count(); ++column)
        widths.push_back(horizontalHeader()->sectionSize(column));
    m_list.columnsResized(widths);
}
