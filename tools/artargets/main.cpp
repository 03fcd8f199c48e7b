// artargets: the command-line tool of the AR targets plug-in.
#include <cstring>
#include <iostream>

#include "HostSession.h"

namespace {

int Usage(std::ostream& out, int status) {
  out << "usage: artargets demo\n"
         "  demo   run a short host session and narrate what the observers hear\n";
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "demo") == 0) return artargets::RunHostSession(std::cout);
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    return Usage(std::cout, 0);
  return Usage(std::cerr, 2);
}
