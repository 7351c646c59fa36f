// The stored-credentials record: the input as the decrypted record the
// preferences hold, and as the hex text of the settings file's chunks. The
// credentials a record gives must come back whole from the record built of
// them, as they do across a save and the next start.

#include "framework/kprops.h"
#include "settings/credentials.h"
#include "settings/des.h"
#include "support/fuzzsupport.h"

#include <cstdio>
#include <cstdlib>

namespace {
bool SameCredentialAt(const KPROPS& left, const KPROPS& right, int index) {
    return left.GetNameAt(index) == right.GetNameAt(index) &&
           left.GetValueAt(index) == right.GetValueAt(index) &&
           left.GetExtra1At(index) == right.GetExtra1At(index);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = FuzzText(data, size);
    const DesKey key = CredentialCipherKey();
    KPROPS credentials;
    ParseCredentialRecords(DesDecryptFromHex(key, DesEncryptToHex(key, text)), credentials);
    KPROPS again;
    ParseCredentialRecords(BuildCredentialRecords(credentials, true, true), again);
    for (int i = 0; i < credentials.Count(); ++i) {
        if (i >= again.Count() || !SameCredentialAt(credentials, again, i)) {
            std::fprintf(stderr, "credentials for '%s' did not come back\n",
                         qPrintable(credentials.GetNameAt(i)));
            std::abort();
        }
    }
    KPROPS fromHex;
    ParseCredentialRecords(DesDecryptFromHex(key, text), fromHex);
    return 0;
}
