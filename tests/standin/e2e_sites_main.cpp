// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-e2e-sites: the stand-in sites of the Windows program's end-to-end tests, which run
// under Wine and ask for each scenario through files.
//
//   brevane-e2e-sites FOLDER
//
// Writes the six addresses, separated by blanks, to FOLDER/addresses. Whenever a file
// FOLDER/want appears, it takes it away, serves the sample price pages with what the
// scenario it names adds (support/end_state_sites.h), forgets every earlier request, and
// writes that name to FOLDER/serving ("unknown NAME" for a name that is none). Each
// request is added to FOLDER/requests as it comes, after a line "== NAME" for each
// scenario. Ends on SIGTERM or SIGINT.
#include <signal.h>
#include <time.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/text.h"
#include "standin/sample_sites.h"
#include "standin/standin_sites.h"
#include "support/end_state_sites.h"

namespace {

namespace fs = std::filesystem;
using brevane::standin::LoggedRequest;

/// Writes `text` to `path` at once: a reader finds the whole text or no file.
void WriteAtOnce(const fs::path& path, const std::string& text) {
    const fs::path part = path.string() + ".part";
    std::ofstream(part, std::ios::binary) << text;
    fs::rename(part, path);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    // Blocked before the servers' threads start, so that they inherit the mask and the
    // signal waits for the loop below.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);

    brevane::standin::StandinSites sites;
    brevane::standin::ServeSamplePriceSites(sites);
    const brevane::WebAddresses a = sites.addresses();
    std::string addresses;
    for (const std::u16string* address :
         {&a.locationSource1, &a.locationSource2, &a.locationSource3, &a.siteARoot, &a.siteBRoot,
          &a.sponsor}) {
        addresses += (addresses.empty() ? "" : " ") + brevane::text::ToUtf8(*address);
    }
    WriteAtOnce(folder / "addresses", addresses + "\n");

    std::ofstream log(folder / "requests", std::ios::app);
    std::size_t logged = 0;
    const timespec tick{0, 20'000'000};
    while (sigtimedwait(&ending, nullptr, &tick) < 0) {
        const std::vector<LoggedRequest> requests = sites.requests();
        for (; logged < requests.size(); ++logged) {
            const LoggedRequest& request = requests[logged];
            log << brevane::standin::SiteName(request.site) << ' ' << request.method << ' '
                << request.path << '\n';
        }
        log.flush();
        if (!fs::exists(folder / "want")) {
            continue;
        }
        const std::string wanted = ReadAll(folder / "want");
        fs::remove(folder / "want");
        sites.reset();
        brevane::standin::ServeSamplePriceSites(sites);
        const bool known = brevane::testing::ServeScenario(sites, wanted);
        logged = 0;
        log << "== " << wanted << '\n';
        log.flush();
        WriteAtOnce(folder / "serving", known ? wanted : "unknown " + wanted);
    }
    return 0;
}
