#pragma once
// CEditLineDlg: the record editor ("Edit record"), one field per column of a
// list's layout, and what its OK stores.

#include <string>
#include <vector>

#include "platform/ui.h"

class CUTABLE;
struct UViewDef;

inline constexpr const char* kEditRecordDialog = "Edit record";

class CEditLineDlg final : public DialogModel {
public:
    static constexpr int kFirstEditId = 9000;

    struct Field {
        std::string label; // the column's name
        std::string text;  // the value as typed
        bool readOnly;
        int column; // table column
    };

    // Fields for every layout column that is not a link column, in layout
    // order, shown or hidden. "Delete This Item" is offered when deleting is
    // allowed and the layout has a delete notification.
    CEditLineDlg(CUTABLE& table, const UViewDef& layout, int row, bool allowDelete);

    const char* dialogName() const override { return kEditRecordDialog; }
    // The window title: the table's name.
    std::string title() const;
    int row() const { return m_row; }
    const std::vector<Field>& fields() const { return m_fields; }
    void setText(int field, std::string text);

    bool deleteOffered() const { return m_deleteOffered; }
    // "Delete This Item": the editor closes as cancelled and the list asks
    // its page to delete the row.
    void pressDelete() { m_deleteRequested = m_deleteOffered; }
    bool deleteRequested() const { return m_deleteRequested; }

    // OK: reads every editable field (its first 255 characters) back into the
    // row: 1 "%d"; 2 and 3 empty -> 0, else "%u"; 4 "%u"; 6 "%f"; 8 the text
    // (at most 254 characters, the most a table file reads back); 9 the first
    // 7. A field that is no number leaves its cell as it is. When a text
    // holds a comma or a line break nothing is stored, a message says why and
    // the result is false: the editor stays open.
    bool accept();
    bool accepted() const { return m_accepted; }

private:
    bool allTextsStorable() const;
    void store(const Field& field);

    CUTABLE& m_table;
    int m_row;
    bool m_deleteOffered;
    bool m_deleteRequested = false;
    bool m_accepted = false;
    std::vector<Field> m_fields;
};
