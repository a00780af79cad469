// station_probe: the prefix's trusted certificate authorities.
#include "probe.h"

#include <wincrypt.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace probe {

// trust-root: adds a certificate authority (a DER file) to the system's
// trusted roots, as an administrator would, so that a test server's
// certificate signed by it is accepted.
int cmd_trust_root(int argc, wchar_t** argv) {
  if (argc != 3) return fail("usage: probe trust-root DER-FILE", 2);
  std::ifstream file(std::filesystem::path(argv[2]), std::ios::binary);
  const std::vector<unsigned char> der{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (der.empty()) return fail("cannot read " + utf8(argv[2]));
  if (!CertAddEncodedCertificateToSystemStoreA("Root", der.data(), static_cast<DWORD>(der.size()))) {
    return fail("the system refused the certificate: error " + jnum(GetLastError()));
  }
  emit("{\"trusted\": true}");
  return 0;
}

}  // namespace probe
