// q7mctl_support.h - q7mctl support FILE.tar.gz: the support bundle the
// editor writes (Help > Save Support Bundle), from the command line, with
// the editor's last session traces.  Built where libarchive is.
#ifndef Q7MCTL_SUPPORT_H
#define Q7MCTL_SUPPORT_H

#include <string>

namespace q7mctl {

// Whether this q7mctl can write the bundle.
bool canWriteSupportBundle();

// Writes the bundle to `path`.  The unit's versions are read from `port`
// when `askUnit` (a port was named with -p); theater texts and host names
// go in only with `includeTheater`.  Exit status: 0 written, 1 not.
int supportBundle(const std::string& path, bool includeTheater, bool askUnit, int port);

}  // namespace q7mctl

#endif
