#pragma once

// What the benchmarks share: the process's memory figures and the bare
// expat parse that serves as their baseline.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <QElapsedTimer>

#include <expat.h>

#include <algorithm>
#include <cstdio>

// Kilobytes of a "VmRSS"-style line of /proc/self/status; -1 when unknown.
inline long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// The user data is a long that counts the start tags.
inline void XMLCALL countStart(void* count, const XML_Char*, const XML_Char**) {
    ++*static_cast<long*>(count);
}
inline void XMLCALL ignoreEnd(void*, const XML_Char*) {}
inline void XMLCALL ignoreText(void*, const XML_Char*, int) {}

// Seconds for a bare expat parse with empty handlers, of the whole text in
// one call, or fed in pieces of `pieceBytes` as a download feeds it (expat
// then also keeps track of its position after each piece); `elements`
// counts the start tags.
inline double bareParse(const QByteArray& reply, qsizetype pieceBytes, long& elements) {
    QElapsedTimer timer;
    timer.start();
    XML_Parser parser = XML_ParserCreate(nullptr);
    elements = 0;
    XML_SetUserData(parser, &elements);
    XML_SetElementHandler(parser, countStart, ignoreEnd);
    XML_SetCharacterDataHandler(parser, ignoreText);
    bool parsed = true;
    for (qsizetype at = 0; parsed && at < reply.size(); at += pieceBytes) {
        const qsizetype length = std::min(pieceBytes, reply.size() - at);
        parsed = XML_Parse(parser, reply.constData() + at, static_cast<int>(length),
                           at + length == reply.size()) == XML_STATUS_OK;
    }
    XML_ParserFree(parser);
    if (!parsed) {
        std::fprintf(stderr, "the bare parse failed\n");
    }
    return timer.nsecsElapsed() / 1e9;
}
