# libssh2 over OpenSSL's libcrypto, built from the Debian sources that
# tools/setup-machine unpacked, with this tree's own compiler: the target
# wyftp_libssh2 links both statically.
include(ExternalProject)
include(ProcessorCount)

set(WYFTP_SOURCE_CACHE /opt/wyftp-sources CACHE PATH "Where tools/setup-machine unpacked Debian's sources")
foreach(package libssh2 openssl)
  if(NOT EXISTS ${WYFTP_SOURCE_CACHE}/${package}/.unpacked)
    message(FATAL_ERROR "${WYFTP_SOURCE_CACHE}/${package} is missing: run tools/setup-machine")
  endif()
endforeach()

ProcessorCount(jobs)
set(ssh_prefix ${CMAKE_BINARY_DIR}/ssh-libraries)
set(libcrypto ${ssh_prefix}/openssl/libcrypto.a)
set(libssh2 ${ssh_prefix}/lib/libssh2.a)

# Only what the SSH library calls: no TLS, no legacy or national ciphers, no
# engines or modules loaded at run time, no error strings.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(openssl_target mingw64)
else()
  # The 32-bit assembler files carry ELF-only directives (.hidden) that the
  # COFF assembler refuses: plain C there.
  set(openssl_target mingw no-asm)
endif()
ExternalProject_Add(wyftp_openssl
  SOURCE_DIR ${WYFTP_SOURCE_CACHE}/openssl
  BINARY_DIR ${ssh_prefix}/openssl
  CONFIGURE_COMMAND ${WYFTP_SOURCE_CACHE}/openssl/Configure ${openssl_target}
    --cross-compile-prefix=${WYFTP_TRIPLE}-
    no-shared no-module no-legacy no-engine no-dso no-tests no-ssl no-tls no-dtls no-cms no-ts no-ocsp
    no-srp no-ct no-comp no-idea no-mdc2 no-rc2 no-rc4 no-rc5 no-seed no-sm2 no-sm3 no-sm4 no-whirlpool
    no-camellia no-aria no-bf no-cast no-siphash no-ocb no-gost no-dsa no-cmp no-rfc3779 no-scrypt
    no-srtp no-ui-console no-autoload-config no-async no-blake2 no-md4 no-rmd160 no-siv no-padlockeng
    no-capieng no-ec2m no-deprecated no-sock no-err no-multiblock no-cached-fetch
  BUILD_COMMAND make -j${jobs} build_generated
  COMMAND make -j${jobs} libcrypto.a
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${libcrypto}
  LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

# FindOpenSSL looks for the library under LIB_EAY on Windows targets.
ExternalProject_Add(wyftp_libssh2_build
  SOURCE_DIR ${WYFTP_SOURCE_CACHE}/libssh2
  BINARY_DIR ${ssh_prefix}/libssh2
  LIST_SEPARATOR |
  CMAKE_ARGS
    -G Ninja
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${ssh_prefix}
    -DCRYPTO_BACKEND=OpenSSL
    -DOPENSSL_ROOT_DIR=${ssh_prefix}/openssl
    -DOPENSSL_INCLUDE_DIR=${ssh_prefix}/openssl/include|${WYFTP_SOURCE_CACHE}/openssl/include
    -DOPENSSL_CRYPTO_LIBRARY=${libcrypto}
    -DLIB_EAY=${libcrypto}
    -DSSL_EAY=${libcrypto}
    -DOPENSSL_USE_STATIC_LIBS=ON
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF
    -DENABLE_ZLIB_COMPRESSION=OFF
  BUILD_BYPRODUCTS ${libssh2}
  DEPENDS wyftp_openssl
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)

file(MAKE_DIRECTORY ${ssh_prefix}/include)
add_library(wyftp_libssh2 INTERFACE)
add_dependencies(wyftp_libssh2 wyftp_libssh2_build)
# OpenSSL's headers too: the session sets the library up before libssh2 does.
target_include_directories(wyftp_libssh2 SYSTEM INTERFACE ${ssh_prefix}/include ${ssh_prefix}/openssl/include
  ${WYFTP_SOURCE_CACHE}/openssl/include)
target_link_libraries(wyftp_libssh2 INTERFACE ${libssh2} ${libcrypto} bcrypt crypt32 ws2_32)
