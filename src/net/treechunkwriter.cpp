#include "net/treechunkwriter.h"

#include "framework/klog.h"

#include <algorithm>

bool CTreeChunkWriter::WriteChunk(const char* bytes, qsizetype count) {
    while (count > 0 && m_pipe.IsConnected()) {
        const qint32 length = static_cast<qint32>(std::min<qsizetype>(count, kMaxChunkBytes));
        const int handle = m_pipe.GetHandle();
        kDebugLog(u"Writing hPipe=%x ...", handle);
        int written = m_pipe.Write(&length, sizeof length);
        kDebugLog(u"Write hPipe=%x.: %d bytes written\n", handle, written);
        kDebugLog(u"Writing hPipe=%x ...", handle);
        written = m_pipe.Write(bytes, length);
        kDebugLog(u"Write hPipe=%x.: %d bytes written\n", handle, written);
        bytes += length;
        count -= length;
    }
    return m_pipe.IsConnected();
}
