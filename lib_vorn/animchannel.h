#pragma once

#include <cstdint>

#include "interpsetting.h"
#include "qv_arraylist.h"
#include "qv_string.h"

class QV_IoStream;

// Channel kinds as ChannelType answers them; stored and seen by scripts (CHANNEL_VAL ...).
constexpr int32_t CHANNEL_UNKNOWN = 0;
constexpr int32_t CHANNEL_VAL = 1;
constexpr int32_t CHANNEL_VEC2 = 2;
constexpr int32_t CHANNEL_COLOR = 3;
constexpr int32_t CHANNEL_BOOL = 4;
constexpr int32_t CHANNEL_STRING = 5;
constexpr int32_t CHANNEL_VEC3 = 6;

// The part of every animated value that does not depend on the value type: the keys (frame and
// interpolation, strictly ascending by frame), the current frame, the name and the actions.
//
// Key operations follow the active-action redirect: while an action is being edited they all
// work on it (the working channel) and the channel's own keys are out of sight. The action list
// itself is always this channel's.
//
// Keys live in flat parallel arrays, searched by bisection, because every frame change evaluates
// every channel of every layer. The kinds (animval.h and its siblings) keep a value array of the
// same capacity beside them; the three arrays always move together.
class AnimChannel {
public:
    virtual ~AnimChannel();
    AnimChannel(const AnimChannel&) = delete;
    AnimChannel& operator=(const AnimChannel&) = delete;

    // The virtual operations, in the order every kind overrides them.
    virtual int32_t ChannelType();
    // The flag is the owners' and means nothing to a channel.
    virtual bool ReadRecord(QV_IoStream* stream, bool flag);
    virtual void WriteRecord(QV_IoStream* stream, bool withActions);
    virtual void SetCurFrame(int32_t frame);
    virtual void AddKey(int32_t frame);
    virtual void Reset(int32_t frame);
    virtual void DeleteKey(int32_t frame);
    virtual void InsertAction(const char* name, int32_t frame);
    // Kinds without arithmetic on their values insert the action instead and answer 0.
    virtual float BlendAction(const char* name, int32_t frame, float weight);
    virtual void GrowKeys();

    // What the record reader and writer need of a kind's values (animrecord.cpp).
    // Reads the value of key index; stores it only when the read succeeds, and sets the read
    // error text on failure.
    virtual bool ReadKeyValue(QV_IoStream* stream, int32_t index);
    virtual void WriteKeyValue(QV_IoStream* stream, int32_t index);
    // Value i becomes the value that stood at index order[i], for i below count.
    virtual void ReorderKeyValues(const int32_t* order, int32_t count);
    // Arrays of exactly capacity slots; key 0 is carried over so that the channel always holds
    // a key to fall back on. False, with nothing changed, when memory runs out.
    virtual bool ReallocateKeys(int32_t capacity);
    // Every action starts from the pose of the main timeline: its first value is ours.
    virtual void SyncActionFirstValues();

    // Keys, on the working channel. Index operations out of range print to the console.
    int32_t CountKeys() const;
    // The last key's frame; a pose key at the end adds the rest of its action.
    int32_t Duration() const;
    // Keeps only a key at frame 0.
    void Clear();
    bool HasKey(int32_t frame) const;
    // The last key at or before the frame; 0 before the first key and without keys.
    int32_t GetClosestKeyID(int32_t frame) const;
    int32_t GetKeyWhen(int32_t id) const;
    // A move onto or past a neighbouring key is refused silently.
    void SetKeyWhen(int32_t id, int32_t frame);
    void SetKeyInterp(int32_t frame, int32_t mode, float val1, float val2);
    void SetKeyInterpByID(int32_t id, int32_t mode, float val1, float val2);
    void SetKeyInterpSetting(int32_t frame, const InterpSetting& setting);
    InterpSetting GetKeyInterp(int32_t frame) const;
    // Out of range: setting is left as the caller had it.
    void GetKeyInterpByID(int32_t id, InterpSetting& setting) const;
    int32_t GetKeyInterpMode(int32_t frame) const;
    int32_t GetKeyInterpModeByID(int32_t id) const;
    int32_t GetCurFrame() const;
    // Keys the cached value at the current frame.
    void StoreValue();

    // The kind-independent half of a channel assignment (AnimKeyed::Assign): the frame, the
    // name, the keys' frames and settings at the source's capacity; the actions are released.
    // False, with nothing changed, when memory runs out.
    bool AssignKeys(const AnimChannel& source);

    // Actions, on this channel's own list (animaction.cpp).
    void ActivateAction(const char* name);
    // Refused when the new name is empty or already taken: two actions of one name could not
    // be told apart.
    void RenameAction(const char* oldName, const char* newName);
    void DeleteAction(const char* name);
    void DeleteAllActions();
    void InsertActionReference(int32_t frame, const char* name);

    // The first action of the name, or null.
    AnimChannel* ActionNamed(const char* name) const;
    int32_t ActionIndex(const char* name) const;
    // The action a pose setting plays on this channel, or null when its index names none.
    AnimChannel* PoseAction(const InterpSetting& setting) const;

    int32_t fCurFrame;
    QV_String fName;
    int32_t fKeyCount;
    int32_t fKeyCapacity;
    int32_t* fKeyFrames;
    InterpSetting* fKeyInterps;
    // Not owned: null, or one of fActions while it is edited.
    AnimChannel* fActiveAction;
    // Owned AnimChannel pointers of this channel's kind, in creation order.
    QV_ArrayList fActions;

protected:
    // Only the kinds are ever made; they add the frame-0 key.
    AnimChannel();

    // The end of the active-action chain.
    AnimChannel* Working();
    const AnimChannel* Working() const;

    // GetClosestKeyID and the exact-key lookup on this channel itself, past any redirect.
    int32_t KeyIndexBefore(int32_t frame) const;
    int32_t KeyIndexAt(int32_t frame) const;

    // Capacity after the next doubling.
    int32_t NextKeyCapacity() const;
    // Doubles the frame and interpolation arrays; the kinds grow their values alongside.
    void GrowKeyArrays();
    // Opens slot index (later keys move up) and fills in the frame and the default
    // interpolation. The caller made room and stores the value.
    void InsertKeySlot(int32_t index, int32_t frame);
    // Closes slot index (later keys move down). The caller moved the values first.
    void RemoveKeySlot(int32_t index);

private:
    void DeleteActionAt(int32_t index);
};

// A new empty channel of the kind (CHANNEL_VAL ... CHANNEL_VEC3), or null for any other code.
AnimChannel* NewAnimChannel(int32_t kind);
