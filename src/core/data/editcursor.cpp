#include "core/data/editcursor.h"

#include <algorithm>

namespace kq {

bool EditCursor::setState(State state) {
    if (m_state == state) return false;
    m_state = state;
    return true;
}

void EditCursor::first(int count) {
    m_row = count > 0 ? 0 : -1;
    m_bof = true;
    m_eof = count == 0;
}

void EditCursor::last(int count) {
    m_row = count - 1;
    m_eof = true;
    m_bof = count == 0;
}

void EditCursor::next(int count) {
    m_bof = false;
    if (m_row + 1 < count)
        ++m_row;
    else
        m_eof = true;
}

void EditCursor::prior() {
    m_eof = false;
    if (m_row > 0)
        --m_row;
    else
        m_bof = true;
}

void EditCursor::moveTo(int row) {
    m_row = row;
    m_bof = m_eof = false;
}

void EditCursor::reset(int row, int count) {
    m_row = row;
    m_bof = true;
    m_eof = count == 0;
}

void EditCursor::removed(int row, int count) {
    m_row = count == 0 ? -1 : std::min(row, count - 1);
    m_bof = m_row <= 0;
    m_eof = count == 0;
}

} // namespace kq
