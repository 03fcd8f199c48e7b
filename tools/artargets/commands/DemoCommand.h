// `artargets demo`: a host session on a built-in sample world, narrated as it happens. Lines
// starting with "host:" are what the host does; lines starting with "  observer:" are the
// notifications a registered observer receives, printed as the message loop delivers them.
#pragma once

namespace artargets {

int Demo();

}  // namespace artargets
