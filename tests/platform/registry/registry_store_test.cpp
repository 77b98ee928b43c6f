#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/registry_store.h"

namespace {

using platform::RegistryKey;

// Store bytes built field by field, to hand-craft files the writer never makes.
struct Builder {
    Builder& U16(size_t value) { return Raw(std::string{char(value), char(value >> 8)}); }
    Builder& U32(uint32_t value) {
        return Raw({char(value), char(value >> 8), char(value >> 16), char(value >> 24)});
    }
    Builder& Raw(const std::string& bytes) {
        payload.insert(payload.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Builder& Name(const std::string& name) { return U16(name.size()).Raw(name); }
    Builder& Value(const std::string& name, const std::string& data) {
        return Name(name).U32(REG_SZ).U32(uint32_t(data.size())).Raw(data);
    }
    Builder& Leaf(const std::string& name) { return Name(name).U32(0).U32(0); }

    // With the header and a CRC-32 (reflected, polynomial 0xEDB88320) of the payload.
    std::vector<BYTE> File() const {
        uint32_t crc = 0xFFFFFFFFu;
        for (BYTE byte : payload) {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        Builder file;
        file.Raw("ZREG").U32(1).U32(~crc).Raw(std::string(payload.begin(), payload.end()));
        return file.payload;
    }

    std::vector<BYTE> payload;
};

DWORD Parse(const std::vector<BYTE>& file, std::shared_ptr<RegistryKey>* root = nullptr) {
    std::shared_ptr<RegistryKey> ignored;
    DWORD result = platform::ParseRegistryStore(file.data(), file.size(), root ? root : &ignored);
    EXPECT_EQ(result != ERROR_SUCCESS, !(root ? *root : ignored)) << "a tree only for a store read";
    return result;
}

TEST(RegistryStore, TreeRoundTripsWithSubkeysSortedAndValuesInOrder) {
    RegistryKey tree;
    auto software = tree.AddSubkey("Software");
    software->values = {{"", REG_SZ, {'d', 0}}, {"Size", REG_DWORD, {1, 2, 3, 4}}, {"B", 99, {}}};
    software->AddSubkey("zeta")->values.push_back({"List", REG_MULTI_SZ, {'a', 0, 0}});
    software->AddSubkey("Alpha");
    tree.AddSubkey("\xC9t\xE9");
    std::vector<BYTE> file = platform::SerializeRegistryStore(tree);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 8), std::string("ZREG\1\0\0\0", 8));

    std::shared_ptr<RegistryKey> read;
    ASSERT_EQ(Parse(file, &read), ERROR_SUCCESS);
    EXPECT_EQ(platform::SerializeRegistryStore(*read), file);
    auto readSoftware = read->FindSubkey("SOFTWARE");
    ASSERT_TRUE(readSoftware);
    EXPECT_EQ(readSoftware->parent, read.get());
    EXPECT_EQ(readSoftware->subkeys[0]->name, "Alpha");
    EXPECT_EQ(readSoftware->values[2].name, "B");
    EXPECT_EQ(readSoftware->values[1].data, (std::vector<BYTE>{1, 2, 3, 4}));
    EXPECT_TRUE(read->FindSubkey("\xE9T\xC9"));
    EXPECT_EQ(platform::CompareRegistryNames("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"), 0);
    EXPECT_NE(platform::CompareRegistryNames("\xF7", "\xD7"), 0); // division and times signs

    for (size_t size = 0; size < file.size(); ++size) {
        std::vector<BYTE> cut(file.begin(), file.begin() + ptrdiff_t(size));
        EXPECT_EQ(Parse(cut), ERROR_BADDB) << "cut at " << size;
    }
    for (size_t i = 0; i < file.size() * 8; ++i) {
        std::vector<BYTE> flipped = file;
        flipped[i / 8] ^= BYTE(1 << (i % 8));
        ASSERT_EQ(Parse(flipped), ERROR_BADDB) << "bit " << i;
    }
}

TEST(RegistryStore, MalformedContentWithAGoodChecksumIsRefused) {
    auto refused = [](const Builder& builder) { return Parse(builder.File()) == ERROR_BADDB; };
    Builder root;
    root.Name("").U32(0);
    ASSERT_FALSE(refused(Builder(root).U32(0)));

    EXPECT_TRUE(refused(Builder(root).U32(0).U32(0))); // bytes after the root
    EXPECT_TRUE(refused(Builder().Leaf("root")));
    EXPECT_TRUE(refused(Builder().Name("").U32(0xFFFFFFFF).U32(0))); // values beyond the data
    EXPECT_TRUE(refused(Builder(root).U32(0x10000000)));             // subkeys beyond the data
    EXPECT_TRUE(refused(Builder().Name("").U32(1).Name("v").U32(3).U32(0x7FFFFFFF).U32(0)));
    EXPECT_TRUE(refused(Builder(root).U32(1).Leaf(std::string("a\0b", 3))));
    EXPECT_TRUE(refused(Builder(root).U32(1).Leaf("a\\b")));
    EXPECT_TRUE(refused(Builder(root).U32(1).Leaf("")));
    EXPECT_TRUE(refused(Builder(root).U32(1).Leaf(std::string(256, 'k'))));
    EXPECT_TRUE(refused(Builder(root).U32(2).Leaf("Key").Leaf("kEY")));
    EXPECT_TRUE(refused(Builder().Name("").U32(1).Value(std::string("v\0", 2), "").U32(0)));
    EXPECT_TRUE(refused(Builder().Name("").U32(2).Value("Name", "").Value("NAME", "").U32(0)));
    EXPECT_TRUE(refused(Builder().Name("").U32(1).Value(std::string(16384, 'v'), "").U32(0)));

    std::vector<BYTE> file = Builder(root).U32(0).File();
    file[4] = 2; // a version this reader does not know
    EXPECT_EQ(Parse(file), ERROR_BADDB);

    auto nested = [&](size_t depth) {
        Builder builder = root;
        for (size_t level = 0; level < depth; ++level)
            builder.U32(1).Name("k").U32(0);
        return builder.U32(0);
    };
    std::shared_ptr<RegistryKey> deep;
    ASSERT_EQ(Parse(nested(platform::kMaxRegistryDepth).File(), &deep), ERROR_SUCCESS);
    const RegistryKey* deepest = deep.get();
    while (!deepest->subkeys.empty())
        deepest = deepest->subkeys[0].get();
    EXPECT_EQ(deepest->Depth(), platform::kMaxRegistryDepth);
    EXPECT_TRUE(refused(nested(platform::kMaxRegistryDepth + 1)));
}

} // namespace
