#pragma once

namespace kq {

// The position and edit state of a table that a window browses and edits one row at a time:
// whether it is open, which row is current (-1 when there is none), whether the current row is
// being edited or a new one inserted, and whether a move ran past the first or the last row.
// The table keeps the rows and the edit buffer, and says when any of this changed.
class EditCursor {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    State state() const { return m_state; }
    bool isOpen() const { return m_state != State::Inactive; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    // Returns whether the state changed.
    bool setState(State state);

    int row() const { return m_row; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }

    // Moves over count rows (the table's row count now).
    void first(int count);
    void last(int count);
    void next(int count);
    void prior();
    // row must be one of the rows.
    void moveTo(int row);
    // After the rows were read or changed: row current (-1 for none), at the start of count rows.
    void reset(int row, int count);
    // After the current row, at row, was deleted from what are now count rows: the one now at
    // its place current, else the last one.
    void removed(int row, int count);

private:
    State m_state = State::Inactive;
    int m_row = -1;
    bool m_bof = true;
    bool m_eof = true;
};

} // namespace kq
