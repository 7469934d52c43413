#pragma once
// What the user is told when an answer from the site could not be had.
#include <string>

#include "platform/http/http_client.h"

namespace kf::net {

// One German sentence, Windows-1252.
std::string failureText(http::Failure failure);

}  // namespace kf::net
