#pragma once
// Answers one request the way a fault says, byte by byte onto the connection, bypassing the HTTP
// library. The connection is closed afterwards.
#include "site/faults/faults.h"
#include "site/http/connection.h"
#include "site/pages/site.h"

namespace kf::site {

// `real` is what the site would have answered; `head` leaves out every body.
void sendFaulty(Connection &connection, Fault fault, const Reply &real, bool head);

}  // namespace kf::site
