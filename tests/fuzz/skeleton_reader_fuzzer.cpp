// The skeleton record reader under libFuzzer. The first byte picks the format version ('o' an
// old version with the bare dynamics flag, anything else the current one); the rest is the
// record. A skeleton that reads is then put through the operations that follow its links.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "m_skeleton.h"
#include "qv_memstream.h"

namespace {

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1 << 20))
        return 0;
    static QuietConsole console;
    SetConsoleSink(&console);

    QV_MemStream stream;
    if (stream.Open(int32_t(size)) != 0)
        return 0;
    stream.WriteBytes(data + 1, int32_t(size - 1));
    stream.Rewind();
    stream.fReading = true;
    stream.fVersion = data[0] == 'o' ? 12 : 19;

    M_Skeleton skeleton;
    skeleton.AddBone(0);
    if (!skeleton.ReadRecord(&stream))
        return 0;

    const int32_t count = skeleton.GetNumBones();
    skeleton.UpdateBoneMatrix(-1);
    skeleton.WeightedTransform({ 0.1f, 0.2f });
    skeleton.LocalFrameAt({ -0.3f, 0.4f });
    skeleton.NearestBone({ 0.5f, 0.5f });
    skeleton.SelectAll();
    skeleton.SelectConnected();
    for (int32_t i = 0; i < count; i++)
        skeleton.RemapBoneID(i, count - 1);
    // Solving runs up to 80 whole updates per bone: kept to skeletons of tens of bones.
    if (count <= 32) {
        skeleton.IKAngleSolver(count - 1, { 0.5f, -0.5f }, 1);
        skeleton.ApplyIKLocks(1, 1);
    }

    // Whatever was read is written again, also between deferred deletions, and must read back.
    skeleton.DeleteBone(count - 1, true);
    QV_MemStream out;
    out.Open(0);
    skeleton.WriteRecord(&out);
    out.Rewind();
    out.fReading = true;
    out.fVersion = 19;
    M_Skeleton copy;
    if (!copy.ReadRecord(&out) || copy.GetNumBones() != count - 1)
        __builtin_trap();
    skeleton.DeleteBone(0, false);
    return 0;
}
