#pragma once
// The record editor and the column chooser of the lists, as Qt dialogs over
// their core models.

#include <QDialog>

class CEditLineDlg;
class CRSDlg;
class QLineEdit;
class QTreeWidget;
class QtUi;

// "Edit record": a label and an edit per field, OK, Cancel and, when the
// model offers it, "Delete This Item".
class EditRecordDialog final : public QDialog {
    Q_OBJECT
public:
    EditRecordDialog(CEditLineDlg& model, QWidget* parent = nullptr);

private:
    void acceptFields();
    void deleteItem();

    CEditLineDlg& m_model;
    std::vector<QLineEdit*> m_edits;
};

// "Row Select": the layout's columns with their "ON" marks; a click toggles.
class RowSelectDialog final : public QDialog {
    Q_OBJECT
public:
    RowSelectDialog(CRSDlg& model, QWidget* parent = nullptr);

private:
    void showMarks();

    CRSDlg& m_model;
    QTreeWidget* m_lines;
};

// Lets qtUi run the two dialogs for CUList::editRecord and the header's "Row Select".
void registerTableDialogs(QtUi& qtUi);
