// Reference counting and aggregation for the objects of this server.
//
// Each object has a non-delegating IUnknown that owns its count, and a controlling IUnknown
// to which the IUnknown methods of all its interfaces delegate: its own non-delegating one
// when it stands alone, the outer object's when it is aggregated. The count starts at 1, the
// creator's reference, which create() hands on or drops.
#pragma once

#include <atomic>

#include "platform/com/unknown.h"

namespace wscom {

class ObjectRoot {
  public:
    ObjectRoot(const ObjectRoot&) = delete;
    ObjectRoot& operator=(const ObjectRoot&) = delete;

    // The identity callers see: the outer object's IUnknown when aggregated.
    IUnknown* controllingUnknown() const { return outer_; }
    // The IUnknown an aggregating outer object keeps (reference not added).
    IUnknown* nonDelegatingUnknown() { return &inner_; }

    // Hands out the new object through *ppv: the non-delegating IUnknown for an outer object
    // (which may only ask for IID_IUnknown), otherwise interface riid. Consumes the creator's
    // reference, so a failed query destroys the object.
    static HRESULT handOut(ObjectRoot* object, bool aggregated, REFIID riid, void** ppv);

  protected:
    // outer is the controlling unknown of an aggregate, null for a stand-alone object.
    explicit ObjectRoot(IUnknown* outer);
    virtual ~ObjectRoot();

    // The object's own interface for riid (IID_IUnknown excluded) as an IUnknown* of that
    // interface's vtable, without a reference added; null when it has none.
    virtual IUnknown* findInterface(REFIID riid) = 0;

    // Bodies for the IUnknown methods of the derived class's interfaces.
    HRESULT delegateQueryInterface(REFIID riid, void** ppv) {
        return outer_->QueryInterface(riid, ppv);
    }
    ULONG delegateAddRef() { return outer_->AddRef(); }
    ULONG delegateRelease() { return outer_->Release(); }

  private:
    class Inner final : public IUnknown {
      public:
        explicit Inner(ObjectRoot& owner) : owner_(owner) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;

      private:
        ObjectRoot& owner_;
    };

    Inner inner_;
    IUnknown* outer_;  // not owned: an aggregate's outer object outlives its parts
    std::atomic<ULONG> refs_{1};
};

}  // namespace wscom
