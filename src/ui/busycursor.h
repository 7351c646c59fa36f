#pragma once

// Keeps the busy indicator and the wait cursor up for a scope. It sends the
// busy message to the main frame, so it may be used on any thread; before the
// frame exists it does nothing. The integer is ignored (callers pass one).

class CBusyCursor {
public:
    explicit CBusyCursor(int ignored = 0);
    ~CBusyCursor();
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;
};
