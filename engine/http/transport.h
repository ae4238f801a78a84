// A connection's HTTP traffic: the WSDL fetch of a load, the documents it imports, SOAP posts
// and probes. Holds the connection's Internet session, opened on first use with the proxy
// settings of that moment and kept for later requests (so connections stay alive).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "engine/api/engine_settings.h"
#include "engine/resources/message_table.h"
#include "engine/wsdl/document_source.h"

namespace nv::inet {
class InternetSession;
}

namespace wscore {

struct Credentials {
    std::u16string user;
    std::u16string password;
};

class Transport final : public DocumentSource {
  public:
    // The three referenced objects belong to the connection and outlive the transport.
    // `wsdlCredentials` is updated when the user answers a credential prompt.
    Transport(const MessageModule& messages, const InternetSettings& settings,
              Credentials& wsdlCredentials);
    ~Transport() override;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    enum class Fetch { Document, NotFoundWhileProbing, Failed };
    // Fetches the WSDL document itself. On failure `error` holds the message.
    Fetch fetchDocument(const std::string& url, bool probeOnly, std::string& bytes,
                        std::u16string& error);

    // Starts the bookkeeping of one load (fetched locations, counts).
    void beginLoad(bool probeOnly);
    std::optional<FetchedDocument> fetchImport(std::string_view location,
                                               std::string_view baseUrl) override;

    struct PostResult {
        bool sent = false;  // an answer was received
        int status = 0;
        std::string body;
        std::u16string error;  // the message for a failure, or for a status other than 200
    };
    // POSTs a SOAP request (Content-Type text/xml, or application/dime).
    PostResult post(const std::string& address, const std::string& soapAction,
                    const std::string& body, bool dime, const Credentials& endpoint);

    // The HTTP status of a POST probe; 404 when nothing was received.
    int probe(const std::string& address, const std::string& soapAction, const std::string& body,
              std::u16string& error);

    void closeInternet();
    bool internetOpen() const { return internet_ != nullptr; }
    // Set when a limit of the current load was hit (the load then fails with it).
    const std::u16string& loadLimitError() const { return loadLimitError_; }

  private:
    nv::inet::InternetSession& internet();
    std::u16string statusFailure(int status) const;
    std::u16string systemError(std::uint32_t code) const;

    const MessageModule& messages_;
    const InternetSettings& settings_;
    Credentials& wsdlCredentials_;
    std::unique_ptr<nv::inet::InternetSession> internet_;
    int authScheme_ = 0;  // 0 none learnt, 1 Basic, 2 Digest, 3 NTLM (from an import's challenge)
    std::set<std::string> fetched_;
    std::size_t importsThisLoad_ = 0;
    std::size_t bytesThisLoad_ = 0;
    bool probeOnly_ = false;
    std::u16string loadLimitError_;
};

}  // namespace wscore
