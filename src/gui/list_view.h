#pragma once
// ListView: the widget of a CUList. It forwards mouse, keys, header menu and
// column resizes to the list, shows its lines through a ListModel and opens
// the in-place editor over a cell when the list starts one.
//
//   CUList& list = page.streamList();        // bound and built by the core page
//   auto* view = new ListView(list, pageWidget);
//   view->placeInPage(pageWidget->size());   // again on every resize

#include <QTableView>
#include <vector>

#include "views/ulist.h"

class QLineEdit;
class ListModel;

class ListView final : public QTableView, private ListDisplay {
    Q_OBJECT
public:
    explicit ListView(CUList& list, QWidget* parent = nullptr);
    ~ListView() override;

    CUList& list() const { return m_list; }
    ListModel& listModel() const { return *m_model; }
    // The in-place editor while a cell is edited, else nullptr.
    QLineEdit* cellEditor() const { return m_editor; }
    // The width that shows the column's header and its widest cell whole.
    int neededWidth(int column) const;
    // Places the list by its layout's rectangle in a page of this size.
    void placeInPage(const QSize& pageSize);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void beginRebuild() override;
    void endRebuild() override;
    void beginAppendLine(int line) override;
    void endAppendLine() override;
    void beginRemoveLine(int line) override;
    void endRemoveLine() override;
    void redrawLines(int first, int last) override;
    void showLine(int line) override;
    void selectLine(int line) override;
    void editStarted() override;
    void editEnded() override;

    void showHeaderMenu(const QPoint& position);
    void applyLayoutWidths();
    void fitAutomaticWidthsToContent();
    void copyWidthsToLayout();

    CUList& m_list;
    ListModel* m_model;
    QLineEdit* m_editor = nullptr;
    bool m_applyingWidths = false;
    // Per list column: sized by its content until the user drags it.
    std::vector<bool> m_automaticWidth;
};
