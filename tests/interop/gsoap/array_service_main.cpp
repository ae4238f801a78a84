// gsoap_array_service <wsdl file> [<SOAP 1.2 wsdl file>]: the rpc/encoded array service on
// 127.0.0.1 at a free port, announced as "PORT <n>" on stdout. GET .../?wsdl answers the
// generated WSDL with this address (GET /soap12?wsdl the one written for SOAP 1.2); GET
// /last-request answers the last request's envelope exactly as it arrived. The process ends
// when its stdin closes, so it cannot outlive the test that started it.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ArrayService.nsmap"
#include "soapH.h"

namespace {

std::string wsdlText;
std::string soap12WsdlText;
std::string received;     // bytes of the request being read, headers included
std::string lastRequest;  // the envelope of the last SOAP request served
size_t (*plainRecv)(struct soap*, char*, size_t) = nullptr;

size_t recordingRecv(struct soap* soap, char* buffer, size_t length) {
    size_t n = plainRecv(soap, buffer, length);
    received.append(buffer, n);
    return n;
}

int answerGet(struct soap* soap) {
    std::string path = soap->path;
    const std::string* body = nullptr;
    if (path == "/soap12?wsdl")
        body = &soap12WsdlText;
    else if (path.size() >= 5 && path.compare(path.size() - 5, 5, "?wsdl") == 0)
        body = &wsdlText;
    else if (path == "/last-request")
        body = &lastRequest;
    if (!body)
        return 404;
    soap->http_content = "text/xml; charset=utf-8";
    if (soap_response(soap, SOAP_FILE) || soap_send_raw(soap, body->data(), body->size()) ||
        soap_end_send(soap))
        return soap_closesock(soap);
    return SOAP_OK;
}

int localPort(SOAP_SOCKET socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

// The generated WSDL names a placeholder address; clients must reach this process.
std::string withAddress(std::string wsdl, const std::string& address) {
    const std::string placeholder = "http://127.0.0.1/arrays";
    for (std::size_t at = wsdl.find(placeholder); at != std::string::npos;
         at = wsdl.find(placeholder, at + address.size()))
        wsdl.replace(at, placeholder.size(), address);
    return wsdl;
}

bool readFile(const char* path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    text = content.str();
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <wsdl file> [<SOAP 1.2 wsdl file>]\n", argv[0]);
        return 2;
    }
    std::string wsdl, soap12Wsdl;
    for (int a = 1; a < argc; ++a) {
        if (!readFile(argv[a], a == 1 ? wsdl : soap12Wsdl)) {
            std::fprintf(stderr, "cannot read %s\n", argv[a]);
            return 2;
        }
    }
    struct soap* soap = soap_new();
    if (!soap_valid_socket(soap_bind(soap, "127.0.0.1", 0, 16))) {
        soap_print_fault(soap, stderr);
        return 1;
    }
    int port = localPort(soap->master);
    const std::string address = "http://127.0.0.1:" + std::to_string(port) + "/arrays";
    wsdlText = withAddress(wsdl, address);
    soap12WsdlText = withAddress(soap12Wsdl, address);
    std::printf("PORT %d\n", port);
    std::fflush(stdout);
    std::thread([] {
        char c;
        while (read(STDIN_FILENO, &c, 1) > 0) {
        }
        _exit(0);
    }).detach();

    plainRecv = soap->frecv;
    soap->frecv = recordingRecv;
    soap->fget = answerGet;
    for (;;) {
        if (!soap_valid_socket(soap_accept(soap)))
            continue;
        received.clear();
        soap_serve(soap);
        if (received.rfind("POST ", 0) == 0) {
            std::size_t body = received.find("\r\n\r\n");
            lastRequest = body == std::string::npos ? received : received.substr(body + 4);
        }
        soap_destroy(soap);
        soap_end(soap);
    }
}

// --- the operations ---------------------------------------------------------------------------

int ns__echoIntArray(struct soap*, struct ArrayOfint inputArray, struct ArrayOfint* result) {
    *result = inputArray;
    return SOAP_OK;
}

int ns__echoStringArray(struct soap*, struct ArrayOfstring inputArray,
                        struct ArrayOfstring* result) {
    *result = inputArray;
    return SOAP_OK;
}

int ns__echoPersonArray(struct soap*, struct ArrayOfPerson inputArray,
                        struct ArrayOfPerson* result) {
    *result = inputArray;
    return SOAP_OK;
}

int ns__echoIntArrayArray(struct soap*, struct ArrayOfArrayOfint inputArray,
                          struct ArrayOfArrayOfint* result) {
    *result = inputArray;
    return SOAP_OK;
}

int ns__transposeMatrix(struct soap* soap, struct ArrayOfint2D matrix,
                        struct ArrayOfint2D* result) {
    int rows = matrix.__size[0];
    int columns = matrix.__size[1];
    if (rows < 0 || columns < 0 || !matrix.__ptr)
        return soap_sender_fault(soap, "the matrix has no items", nullptr);
    result->__size[0] = columns;
    result->__size[1] = rows;
    result->__offset[0] = 0;
    result->__offset[1] = 0;
    result->__ptr = static_cast<int*>(soap_malloc(soap, sizeof(int) * (rows * columns + 1)));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            result->__ptr[c * rows + r] = matrix.__ptr[r * columns + c];
    return SOAP_OK;
}

int ns__offsetRange(struct soap* soap, int first, int count, struct ArrayOfint* result) {
    if (first < 0 || count < 0 || count > 1000)
        return soap_sender_fault(soap, "first and count must be small and not negative", nullptr);
    result->__offset = first;
    result->__size = count;
    result->__ptr = static_cast<int*>(soap_malloc(soap, sizeof(int) * (count + 1)));
    for (int i = 0; i < count; ++i)
        result->__ptr[i] = first + i;
    return SOAP_OK;
}

int ns__sumTokens(struct soap* soap, int* sum) {
    *sum = 0;
    const ArrayOfint* tokens = soap->header ? soap->header->ns__tokens : nullptr;
    if (!tokens)
        return soap_sender_fault(soap, "the tokens header is missing", nullptr);
    auto* reversed = soap_new_ArrayOfint(soap);
    reversed->__size = tokens->__size;
    reversed->__offset = 0;
    reversed->__ptr = static_cast<int*>(soap_malloc(soap, sizeof(int) * (tokens->__size + 1)));
    for (int i = 0; i < tokens->__size; ++i) {
        *sum += tokens->__ptr[i];
        reversed->__ptr[tokens->__size - 1 - i] = tokens->__ptr[i];
    }
    soap->header = soap_new_SOAP_ENV__Header(soap);
    soap->header->ns__tokens = reversed;
    return SOAP_OK;
}
