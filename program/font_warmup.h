// SPDX-License-Identifier: MIT
#pragma once
// The first text a window draws waits for fontconfig to read its configuration and its
// font caches (4-5 ms). Started on a thread of its own before the application is made,
// that work runs beside Qt's own start, which spends most of its time waiting for the
// display; the window then finds it done.
#include <thread>

class FontWarmup {
public:
    FontWarmup();
    ~FontWarmup();  // waits for the thread
    FontWarmup(const FontWarmup&) = delete;
    FontWarmup& operator=(const FontWarmup&) = delete;

private:
    std::thread m_thread;
};
