// The JSON pull reader over any bytes: every token is pulled with the typed
// read it calls for (numbers both as integers and as doubles), or values are
// skipped whole. Errors must be the reader's own exceptions.
#include "foundation/LumJSONReader.h"
#include "fuzz/FuzzSupport.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInput in(data, size);
    const std::uint8_t mode = in.Byte();
    const std::string_view json = in.Rest();
    TBytesStream stream(TBytes(json.begin(), json.end()));
    TLumJSONReader reader(stream);
    try {
        for (int n = 0;; ++n) {
            const TLumJSONToken token = reader.Peek();
            if (token == jstoEOF)
                break;
            if (mode & 1 && n % 3 == 2) {
                reader.SkipValue();
                continue;
            }
            switch (token) {
            case jstoBeginObject: reader.ReadBeginObject(); break;
            case jstoEndObject: reader.ReadEndObject(); break;
            case jstoBeginArray: reader.ReadBeginArray(); break;
            case jstoEndArray: reader.ReadEndArray(); break;
            case jstoName:
                if (mode & 2)
                    reader.PeekName();
                reader.ReadName();
                break;
            case jstoBoolean: reader.ReadBoolean(); break;
            case jstoNull: reader.ReadNull(); break;
            case jstoText: reader.ReadString(); break;
            case jstoNumber:
                if (mode & 4) {
                    try {
                        reader.ReadInt64();
                        continue;
                    } catch (const TLumJSONReader::EInvalidStateException&) {
                    }
                }
                reader.ReadDouble();
                break;
            case jstoEOF: break;
            }
        }
    } catch (const Exception&) {
    }
    return 0;
}
