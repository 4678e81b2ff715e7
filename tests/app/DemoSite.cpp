// The local directory site of the end-to-end tests as a program of its own,
// for trying a capture without the real directory (scripts/demo): serves
// tests/fixtures/directory_site the way the tests do on a free local port,
// prints the site's address and runs until it is stopped.
#include <csignal>
#include <iostream>
#include <unistd.h>

#include "tests/app/CrawlSite.h"

int main()
{
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    // Blocked before the server's threads start, so only sigwait sees them.
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    testsupport::HttpServer& site = crawltest::DirectorySite();
    std::cout << site.BaseUrl() << std::endl;
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
}
