// trust_test_authority add|remove <certificate.der>: puts the https tests' own authority into the
// current user's root store of the Wine prefix, or takes it out again when the tests are done.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/UniqueHandle.h"

namespace {

struct StoreTraits {
    using Type = HCERTSTORE;
    static Type none() { return nullptr; }
    static void close(Type store) { CertCloseStore(store, 0); }
};

struct CertificateTraits {
    using Type = PCCERT_CONTEXT;
    static Type none() { return nullptr; }
    static void close(Type certificate) { CertFreeCertificateContext(certificate); }
};

bool readAll(const wchar_t* path, std::vector<BYTE>& data)
{
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

// Takes the certificate out of the current user's root store, where the store keeps it as a
// registry key named by its SHA-1 thumbprint. (Wine's store reports a deletion through the
// certificate functions as done but keeps the certificate.) None there already is fine.
bool removeFromRoot(PCCERT_CONTEXT certificate)
{
    BYTE hash[20];
    DWORD size = sizeof(hash);
    if (!CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size))
        return false;
    std::wstring key = L"Software\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\";
    const wchar_t digits[] = L"0123456789ABCDEF";
    for (DWORD i = 0; i < size; ++i) {
        key += digits[hash[i] >> 4];
        key += digits[hash[i] & 15];
    }
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || (std::wstring(argv[1]) != L"add" && std::wstring(argv[1]) != L"remove")) {
        std::fprintf(stderr, "usage: trust_test_authority add|remove <certificate.der>\n");
        return 2;
    }
    std::vector<BYTE> der;
    if (!readAll(argv[2], der) || der.empty()) {
        std::fprintf(stderr, "cannot read the certificate\n");
        return 1;
    }
    const UniqueHandle<CertificateTraits> certificate(
        CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size())));
    bool done = false;
    if (certificate && std::wstring(argv[1]) == L"add") {
        const UniqueHandle<StoreTraits> store(CertOpenSystemStoreW(0, L"ROOT"));
        done = store && CertAddCertificateContextToStore(store.get(), certificate.get(),
                                                         CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    } else if (certificate) {
        done = removeFromRoot(certificate.get());
    }
    if (!done)
        std::fprintf(stderr, "the root store refused: error %lu\n", GetLastError());
    return done ? 0 : 1;
}
