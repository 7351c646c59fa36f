#include "resources/notices.h"

namespace {

// Plain text; the window shows it in a read-only edit box as it stands.
constexpr char16_t kThirdPartyNotices[] =
    uR"(This program uses the following libraries. Their copyright holders'
notices and licences follow.

======================================================================
Qt 6
======================================================================
Copyright (C) The Qt Company Ltd. and other contributors.

Qt is used under the terms of the GNU Lesser General Public License
version 3 (LGPL-3.0). This program links the Qt libraries dynamically;
you may replace them with modified versions of your own. The source code
of Qt is available from https://download.qt.io and from your
distribution's source packages.

On Debian systems the complete text of the GNU Lesser General Public
License version 3 is in /usr/share/common-licenses/LGPL-3, and the GNU
General Public License version 3 it extends is in
/usr/share/common-licenses/GPL-3.

Qt WebEngine contains Chromium, which is made of many components under
their own licences; their notices come with the Qt WebEngine package
(on Debian: /usr/share/doc/libqt6webenginecore6/copyright).

======================================================================
libcurl
======================================================================
COPYRIGHT AND PERMISSION NOTICE

Copyright (c) 1996 - 2022, Daniel Stenberg, <daniel@haxx.se>, and many
contributors, see the THANKS file.

All rights reserved.

Permission to use, copy, modify, and distribute this software for any
purpose with or without fee is hereby granted, provided that the above
copyright notice and this permission notice appear in all copies.

THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT OF THIRD PARTY RIGHTS.
IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM,
DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR
OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE
USE OR OTHER DEALINGS IN THE SOFTWARE.

Except as contained in this notice, the name of a copyright holder shall
not be used in advertising or otherwise to promote the sale, use or other
dealings in this Software without prior written authorization of the
copyright holder.

======================================================================
expat
======================================================================
Copyright (c) 1998-2000 Thai Open Source Software Center Ltd and Clark
Cooper
Copyright (c) 2001-2022 Expat maintainers

Permission is hereby granted, free of charge, to any person obtaining a
copy of this software and associated documentation files (the
"Software"), to deal in the Software without restriction, including
without limitation the rights to use, copy, modify, merge, publish,
distribute, sublicense, and/or sell copies of the Software, and to permit
persons to whom the Software is furnished to do so, subject to the
following conditions:

The above copyright notice and this permission notice shall be included
in all copies or substantial portions of the Software.

THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS
OR IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF
MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN
NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM,
DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR
OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE
USE OR OTHER DEALINGS IN THE SOFTWARE.

======================================================================
OpenSSL
======================================================================
Copyright (c) 1998-2023 The OpenSSL Project Authors
Copyright (c) 1995-1998 Eric A. Young, Tim J. Hudson
All rights reserved.

Licensed under the Apache License, Version 2.0 (the "License"); you may
not use this file except in compliance with the License. You may obtain
a copy of the License at

    https://www.apache.org/licenses/LICENSE-2.0

Unless required by applicable law or agreed to in writing, software
distributed under the License is distributed on an "AS IS" BASIS,
WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
See the License for the specific language governing permissions and
limitations under the License.

On Debian systems the complete text of the Apache License, Version 2.0
is in /usr/share/common-licenses/Apache-2.0.
)";

}  // namespace

QString ThirdPartyNoticesText() {
    return QString::fromUtf16(kThirdPartyNotices);
}
