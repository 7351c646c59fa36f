// The stored-credentials record: the input as the decrypted record the
// preferences hold, and as the hex text of the settings file's chunks.

#include "framework/kprops.h"
#include "settings/credentials.h"
#include "settings/des.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = FuzzText(data, size);
    const DesKey key = CredentialCipherKey();
    KPROPS credentials;
    ParseCredentialRecords(DesDecryptFromHex(key, DesEncryptToHex(key, text)), credentials);
    KPROPS again;
    ParseCredentialRecords(BuildCredentialRecords(credentials, true, true), again);
    KPROPS fromHex;
    ParseCredentialRecords(DesDecryptFromHex(key, text), fromHex);
    return 0;
}
