// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The C++ side of the interoperability test (test_cirra_interop.py):
//   cirra_interop echo <Type>   stdin record -> decode -> encode -> stdout
//   cirra_interop default <Type> a default-constructed record -> stdout
//   cirra_interop frame          stdin length-prefixed frame -> decode -> encode -> stdout
// Failures exit with 1 and "<status> <code> <message>" on stderr.
#include <kcirracodec.h>
#include <kcirraframereader.h>
#include <kcirrarecords.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

namespace {

int fail(const KCirraCodec::Result &result)
{
    std::fprintf(stderr, "%d %d %s\n", int(result.status), result.code, result.message.toUtf8().constData());
    return 1;
}

int usage()
{
    std::fprintf(stderr, "usage: cirra_interop echo|default <Type> | frame\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    std::freopen(nullptr, "rb", stdin);
    std::freopen(nullptr, "wb", stdout);
    const std::string mode = argv[1];
    std::string out;

    if (mode == "frame") {
        const std::string in((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        KCirraFrameReader reader(KCirraCodec::kMaxFrameSize);
        reader.append(in.data(), int(in.size()));
        qoz::cirra::CirraFrame frame;
        if (reader.nextFrame(&frame) != KCirraFrameReader::Status::Frame)
            return fail({KCirraCodec::Status::Transport, -1, reader.errorString()});
        QByteArray again;
        const KCirraCodec::Result result = KCirraCodec::encodeFrame(frame, &again);
        if (!result)
            return fail(result);
        out = again.toStdString();
    } else if ((mode == "echo" || mode == "default") && argc == 3) {
        KCirraRecord record = KCirraRecords::create(argv[2]);
        if (record.isNull())
            return usage();
        if (mode == "echo") {
            const std::string in((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
            const KCirraCodec::Result result = KCirraCodec::decode(in, record.base());
            if (!result)
                return fail(result);
        }
        const KCirraCodec::Result result = KCirraCodec::encode(*record.base(), &out);
        if (!result)
            return fail(result);
    } else {
        return usage();
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
