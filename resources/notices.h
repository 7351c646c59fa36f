#pragma once

// The notices and licences of the libraries the program is built with (Qt,
// libcurl, expat, OpenSSL), as the notices window shows them.

#include <QString>

QString ThirdPartyNoticesText();
