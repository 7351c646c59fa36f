// The stored-credentials record: any record parses without fault, and what
// it held is built into records that parse back the same.

#include "framework/kprops.h"
#include "fuzzsupport.h"
#include "settings/credentials.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString records = QString::fromUtf8(FuzzBytes(data, size));
    KPROPS credentials;
    ParseCredentialRecords(records, credentials);
    KPROPS again;
    ParseCredentialRecords(BuildCredentialRecords(credentials, true, true), again);
    FuzzCheck(again.Count() == credentials.Count(), "built records parse back");
    SplitCredentialChunks(records);
    return 0;
}
