// URL access in the manner of the Windows Internet functions, over libcurl.
//
// A session (InternetOpenA) carries the agent text and the time-outs; a URL handle
// (InternetOpenUrlA) is one transfer of an http, https, ftp or file URL. The transfer runs
// on its own thread into a bounded buffer, so a caller that reads slowly holds the peer
// back rather than filling memory. InternetOpenUrlA returns once the response headers
// are in (for http and https the final ones, after redirects): a 404 is a successful
// open whose status the caller checks. Handles are 32-bit values of the kernel table,
// closed with InternetCloseHandle; closing a session closes its URL handles, and closing
// a handle from another thread aborts its transfer and wakes a reader blocked on it.
#pragma once

#include <cstdint>

#include "platform/files/files.h"
#include "platform/kernel/win_types.h"

using HINTERNET = HANDLE;

// Gives FormatMessageA the texts of the codes below. Every file that names them includes
// this header, so the registration below runs before any of them can be reported.
bool RegisterInternetMessageTexts();
inline const bool kInternetMessageTextsRegistered = RegisterInternetMessageTexts();

inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0; // proxies from the environment
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;    // never a proxy

// Accepted and without effect: nothing is ever cached.
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000u;
inline constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000u;

inline constexpr DWORD HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000u;

// Time-outs in milliseconds (a DWORD option value). The connect time-out bounds name
// resolution plus connecting; the receive time-out bounds any wait for the peer once
// connected (for the response or for more data), so a stalled transfer fails with
// ERROR_INTERNET_TIMEOUT. 0 or INFINITE removes our bound. Both default to 30000.
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;

inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_EXTENDED_ERROR = 12003; // an FTP server refused
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
inline constexpr DWORD ERROR_INTERNET_BAD_OPTION_LENGTH = 12010;
inline constexpr DWORD ERROR_INTERNET_INVALID_OPERATION = 12016;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_INVALID_CA = 12045;
inline constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
inline constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
inline constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;
inline constexpr DWORD ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;

// Opens a session. `agent` (may be null) is sent as the User-Agent; the proxy arguments
// and flags are ignored. Other access types fail with ERROR_INVALID_PARAMETER.
HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass,
                        DWORD flags);

// Opens `url` (http, https, ftp or file) and waits for the response headers. A file URL
// names a Windows path, mapped like the file calls' paths: "file:///C:/dir/name",
// "file://C:\dir\name", or "file:///dir/name" on the current drive. Extra request
// headers are not offered: `headers` must be null or empty. Fails with 0 and the last
// error: ERROR_INTERNET_UNRECOGNIZED_SCHEME, ERROR_INTERNET_INVALID_URL,
// ERROR_INTERNET_NAME_NOT_RESOLVED, ERROR_INTERNET_CANNOT_CONNECT, ERROR_INTERNET_TIMEOUT,
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND (file URLs), ERROR_INTERNET_OPERATION_CANCELLED
// (the session was closed meanwhile), ...
HINTERNET InternetOpenUrlA(HINTERNET session, LPCSTR url, LPCSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context);

// Reads up to `bytesToRead` bytes, waiting until that many are in or the data ends.
// TRUE with 0 bytes read is the end of the data. A transfer that fails (cut short before
// its announced length, timed out, closed by another thread) returns the bytes it had,
// then FALSE with the error on every later call; it never looks like a clean end.
BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);

// Waits until data can be read without waiting, then reports how many bytes can; 0 when
// the data has ended. FALSE with the error when the transfer failed and nothing is left.
BOOL InternetQueryDataAvailable(HINTERNET file, LPDWORD bytesAvailable, DWORD flags,
                                DWORD_PTR context);

// Moves the read position. FILE_END needs a known length (Content-Length, or the size of
// an ftp or file resource) and fails with INVALID_SET_FILE_POINTER otherwise. The
// position can be moved freely, but reading only works while it is where the data
// stream stands (else ERROR_INTERNET_INVALID_OPERATION): moving to the end to learn the
// length and back before reading is the use this serves.
DWORD InternetSetFilePointer(HINTERNET file, LONG distance, LPLONG distanceHigh, DWORD moveMethod,
                             DWORD_PTR context);

// Queries an http or https response: HTTP_QUERY_STATUS_CODE or HTTP_QUERY_CONTENT_LENGTH,
// as text (length without the terminating zero in *bufferLength; ERROR_INSUFFICIENT_BUFFER
// with the needed size, zero included) or with HTTP_QUERY_FLAG_NUMBER as a DWORD.
// A response without a usable length fails with ERROR_HTTP_HEADER_NOT_FOUND.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength,
                    LPDWORD index);

// The size of an ftp resource opened with InternetOpenUrlA; INVALID_FILE_SIZE when unknown.
DWORD FtpGetFileSize(HINTERNET file, LPDWORD fileSizeHigh);

// Sets a time-out option on a session (for URLs opened after it) or, with a null handle,
// the default that sessions opened afterwards start with.
BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength);

// Closes a session or URL handle; other handles are refused with ERROR_INVALID_HANDLE.
BOOL InternetCloseHandle(HINTERNET internet);
