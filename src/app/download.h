#pragma once
// Files the program fetches and reads back: the body of one fetch stored in
// a file, and a manifest loaded from one.
#include <string>

#include "app/file_system.h"
#include "net/fetcher.h"
#include "net/xml_document.h"

namespace app {

// Fetches the address and writes the body (possibly empty) to the file,
// replacing what the file held. An empty name writes nothing. Silent: the
// caller learns nothing of a failed fetch or a file that cannot be opened.
void downloadToFile(net::Fetcher& fetcher, FileSystem& files, const std::string& name, const std::string& address);

// Loads the document from the file's bytes; the held document is discarded
// first. An empty name, an unreadable file or zero bytes leave the holder
// empty. True when a document was parsed.
bool loadFromFile(net::XmlDocument& document, FileSystem& files, const std::string& name);

}  // namespace app
