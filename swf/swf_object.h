#pragma once

#include <cstdint>

// Every handle of the library is reference-counted: the maker holds the first reference, and
// whatever keeps a handle (a movie its characters, a shape its fills) holds one more. So the
// caller's destroy call and the movie's end may come in any order.
class SwfObject {
public:
    SwfObject() = default;
    SwfObject(const SwfObject&) = delete;
    SwfObject& operator=(const SwfObject&) = delete;
    virtual ~SwfObject() = default;

    void Retain() { ++fReferences; }
    void Release()
    {
        if (--fReferences == 0)
            delete this;
    }

private:
    int32_t fReferences = 1;
};

// Keeps a reference for its own life.
template <class T>
class SwfRef {
public:
    SwfRef() = default;
    explicit SwfRef(T* object) : fObject(object)
    {
        if (fObject)
            fObject->Retain();
    }
    SwfRef(const SwfRef& other) : SwfRef(other.fObject) {}
    SwfRef& operator=(const SwfRef& other)
    {
        if (other.fObject)
            other.fObject->Retain();
        if (fObject)
            fObject->Release();
        fObject = other.fObject;
        return *this;
    }
    ~SwfRef()
    {
        if (fObject)
            fObject->Release();
    }
    T* Get() const { return fObject; }
    T* operator->() const { return fObject; }
    explicit operator bool() const { return fObject != nullptr; }

private:
    T* fObject = nullptr;
};
