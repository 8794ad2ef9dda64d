#include "editor.h"

namespace zelk {

Editor::Editor(Services services, const LinkApi& linkApi, Paths p)
    : svc(services),
      link(linkApi),
      paths(std::move(p)),
      channels(*this),
      fileCmds(*this),
      theaterInfo(*this),
      dispatch(*this),
      connection(*this),
      upload(*this),
      polling(*this),
      portSpeed(*this),
      lifecycle(*this),
      tabs(*this),
      sliders(*this),
      equaliser(*this),
      levels(*this),
      options(*this),
      optical(*this) {
    channels.wire();
    fileCmds.wire();
    theaterInfo.wire();
    connection.wire();
    upload.wire();
    polling.wire();
    portSpeed.wire();
    lifecycle.wire();
    tabs.wire();
    sliders.wire();
    equaliser.wire();
    levels.wire();
    options.wire();
    optical.wire();
    // The window opens off line.
    connection.SetConnectStatus(0);
    connection.EnableFrames(false);
}

}  // namespace zelk
