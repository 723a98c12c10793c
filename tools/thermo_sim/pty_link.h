#pragma once
// The simulator's end of the line: a pseudo-terminal and the COM<n> link
// that makes it port n for the recorder.
#include <string>

namespace pom::sim {

struct Pty {
    int master = -1;
    // Held open by the simulator itself: with no slave open, the master only
    // reports a hang-up (EIO), and the line would come and go with every open
    // and close the recorder makes.
    int slave = -1;
    std::string slavePath;
};

// Raises std::system_error.
Pty openPty();
void closePty(Pty& pty);

std::string linkPath(const std::string& directory, int port);
// Creates the folder if missing and points the link at target, replacing a
// link left behind; raises std::system_error, or std::runtime_error when
// something other than a link is in the way.
void placeLink(const std::string& link, const std::string& target);
// Removes the link, unless it now points elsewhere (another simulator took over).
void removeLink(const std::string& link, const std::string& target);

} // namespace pom::sim
