// Owners for CNG (bcrypt) handles: algorithm providers, keys and hash objects. Apart from the rest
// of the kit so that only code that uses CNG pulls in <bcrypt.h> and links bcrypt.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include "common/UniqueHandle.h"

struct CngAlgorithmTraits {
    using Type = BCRYPT_ALG_HANDLE;
    static Type none() { return nullptr; }
    static void close(Type algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
};

struct CngKeyTraits {
    using Type = BCRYPT_KEY_HANDLE;
    static Type none() { return nullptr; }
    static void close(Type key) { BCryptDestroyKey(key); }
};

struct CngHashTraits {
    using Type = BCRYPT_HASH_HANDLE;
    static Type none() { return nullptr; }
    static void close(Type hash) { BCryptDestroyHash(hash); }
};

using UniqueCngAlgorithm = UniqueHandle<CngAlgorithmTraits>;
using UniqueCngKey = UniqueHandle<CngKeyTraits>;
using UniqueCngHash = UniqueHandle<CngHashTraits>;
