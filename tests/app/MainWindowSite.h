#pragma once
// A local server standing in for the maker's and the directory's sites, so a
// main window's start-up checks never leave the machine. Made on first use;
// it points the site addresses at itself, which a process reads only once,
// so every main-window test of a program must use this one.

#include <string>

#include "tests/support/HttpServer.h"

namespace mainwindowtest {

testsupport::HttpServer& Site();
// What the update-date endpoint answers from now on.
void SetUpdateDate(const std::string& date);

} // namespace mainwindowtest
