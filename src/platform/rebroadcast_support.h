#pragma once

namespace vantor {

// Whether the system can take a stream from Microsoft Media Services and hand it to the server
// for rebroadcast. Only Windows of major version 5 ever could; stored rebroadcasts still open and
// save where it cannot.
bool MmsRebroadcastSupported();

}  // namespace vantor
