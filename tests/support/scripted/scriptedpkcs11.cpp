// A PKCS#11 module of the tests' own whose behaviour a test scripts through
// ScriptedPkcs11_SetScript: words that make it show no reader, no card, a
// PIN at its final try or locked, or fail a call. The PIN is "1234"; the
// card holds one object that claims to be a certificate but does not
// decode as one.

#include <p11-kit/pkcs11.h>

#include <cstring>
#include <mutex>
#include <string>

namespace {

std::mutex g_scriptMutex;
std::string g_script;

bool scripted(const char* word) {
    const std::lock_guard lock(g_scriptMutex);
    return g_script.find(word) != std::string::npos;
}

void padded(unsigned char* field, size_t size, const char* text) {
    std::memset(field, ' ', size);
    std::memcpy(field, text, std::min(size, std::strlen(text)));
}

constexpr CK_SLOT_ID kSlot = 7;
constexpr CK_SESSION_HANDLE kSession = 11;
constexpr CK_OBJECT_HANDLE kObject = 21;
const char kValue[] = "not a certificate";
const char kLabel[] = "Scripted object";
bool g_found = false;

CK_RV scriptedInitialize(void*) {
    return CKR_OK;
}

CK_RV scriptedFinalize(void*) {
    return CKR_OK;
}

CK_RV scriptedGetSlotList(CK_BBOOL tokenPresent, CK_SLOT_ID* slots, CK_ULONG* count) {
    if (scripted("failslots")) {
        return CKR_GENERAL_ERROR;
    }
    const bool any = !scripted("noreader") && !(tokenPresent == CK_TRUE && scripted("nocard"));
    if (slots != nullptr && any) {
        if (*count < 1) {
            return CKR_BUFFER_TOO_SMALL;
        }
        slots[0] = kSlot;
    }
    *count = any ? 1 : 0;
    return CKR_OK;
}

CK_RV scriptedGetTokenInfo(CK_SLOT_ID, CK_TOKEN_INFO* info) {
    std::memset(info, 0, sizeof *info);
    padded(info->label, sizeof info->label, "Scripted card");
    padded(info->manufacturerID, sizeof info->manufacturerID, "Quillex tests");
    padded(info->model, sizeof info->model, "script");
    padded(info->serialNumber, sizeof info->serialNumber, "0001");
    info->ulMinPinLen = 4;
    info->ulMaxPinLen = 8;
    info->flags = CKF_TOKEN_INITIALIZED | CKF_LOGIN_REQUIRED | CKF_USER_PIN_INITIALIZED;
    if (scripted("finaltry")) {
        info->flags |= CKF_USER_PIN_FINAL_TRY | CKF_USER_PIN_COUNT_LOW;
    }
    if (scripted("locked")) {
        info->flags |= CKF_USER_PIN_LOCKED;
    }
    return CKR_OK;
}

CK_RV scriptedOpenSession(CK_SLOT_ID, CK_FLAGS, void*, CK_NOTIFY, CK_SESSION_HANDLE* session) {
    if (scripted("failopen")) {
        return CKR_DEVICE_ERROR;
    }
    *session = kSession;
    return CKR_OK;
}

CK_RV scriptedCloseSession(CK_SESSION_HANDLE) {
    return CKR_OK;
}

CK_RV scriptedGetSessionInfo(CK_SESSION_HANDLE, CK_SESSION_INFO* info) {
    std::memset(info, 0, sizeof *info);
    info->slotID = kSlot;
    info->state = CKS_RO_PUBLIC_SESSION;
    info->flags = CKF_SERIAL_SESSION;
    return CKR_OK;
}

CK_RV scriptedLogin(CK_SESSION_HANDLE, CK_USER_TYPE, CK_UTF8CHAR* pin, CK_ULONG length) {
    if (scripted("locked")) {
        return CKR_PIN_LOCKED;
    }
    if (length == 4 && std::memcmp(pin, "1234", 4) == 0) {
        return CKR_OK;
    }
    return CKR_PIN_INCORRECT;
}

CK_RV scriptedFindObjectsInit(CK_SESSION_HANDLE, CK_ATTRIBUTE*, CK_ULONG) {
    if (scripted("failfind")) {
        return CKR_GENERAL_ERROR;
    }
    g_found = false;
    return CKR_OK;
}

CK_RV scriptedFindObjects(CK_SESSION_HANDLE, CK_OBJECT_HANDLE* objects, CK_ULONG most,
                          CK_ULONG* count) {
    *count = 0;
    if (!g_found && most > 0) {
        objects[0] = kObject;
        *count = 1;
        g_found = true;
    }
    return CKR_OK;
}

CK_RV scriptedFindObjectsFinal(CK_SESSION_HANDLE) {
    return CKR_OK;
}

CK_RV scriptedGetAttributeValue(CK_SESSION_HANDLE, CK_OBJECT_HANDLE, CK_ATTRIBUTE* attributes,
                                CK_ULONG count) {
    for (CK_ULONG i = 0; i < count; ++i) {
        CK_ATTRIBUTE& attribute = attributes[i];
        const char* value = nullptr;
        size_t length = 0;
        if (attribute.type == CKA_VALUE) {
            value = kValue;
            length = sizeof kValue - 1;
        } else if (attribute.type == CKA_LABEL) {
            value = kLabel;
            length = sizeof kLabel - 1;
        } else if (attribute.type == CKA_ID) {
            value = "\x01";
            length = 1;
        } else {
            attribute.ulValueLen = CK_UNAVAILABLE_INFORMATION;
            return CKR_ATTRIBUTE_TYPE_INVALID;
        }
        if (attribute.pValue != nullptr) {
            if (attribute.ulValueLen < length) {
                return CKR_BUFFER_TOO_SMALL;
            }
            std::memcpy(attribute.pValue, value, length);
        }
        attribute.ulValueLen = length;
    }
    return CKR_OK;
}

CK_FUNCTION_LIST makeFunctionList() {
    CK_FUNCTION_LIST list;
    std::memset(&list, 0, sizeof list);
    list.version = {2, 40};
    list.C_Initialize = scriptedInitialize;
    list.C_Finalize = scriptedFinalize;
    list.C_GetSlotList = scriptedGetSlotList;
    list.C_GetTokenInfo = scriptedGetTokenInfo;
    list.C_OpenSession = scriptedOpenSession;
    list.C_CloseSession = scriptedCloseSession;
    list.C_GetSessionInfo = scriptedGetSessionInfo;
    list.C_Login = scriptedLogin;
    list.C_FindObjectsInit = scriptedFindObjectsInit;
    list.C_FindObjects = scriptedFindObjects;
    list.C_FindObjectsFinal = scriptedFindObjectsFinal;
    list.C_GetAttributeValue = scriptedGetAttributeValue;
    return list;
}

CK_FUNCTION_LIST g_functions = makeFunctionList();

}  // namespace

extern "C" {

__attribute__((visibility("default"))) CK_RV C_GetFunctionList(CK_FUNCTION_LIST** list) {
    *list = &g_functions;
    return CKR_OK;
}

__attribute__((visibility("default"))) void ScriptedPkcs11_SetScript(const char* script) {
    const std::lock_guard lock(g_scriptMutex);
    g_script = script;
}
}
