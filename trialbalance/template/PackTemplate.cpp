// Build step: zips the template's XML parts into "Trial Balance.xlsx".
// Usage: PackTemplate OUTPUT SOURCE_DIR PART...  (parts in the order they go into the zip,
// "[Content_Types].xml" first as spreadsheet programs expect).
#include <zip.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT SOURCE_DIR PART...\n", argv[0]);
        return 2;
    }
    int error = 0;
    zip_t* archive = zip_open(argv[1], ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        std::fprintf(stderr, "%s: %s\n", argv[1], zip_error_strerror(&e));
        return 1;
    }
    // Kept alive until zip_close, which reads them.
    std::vector<std::string> contents;
    contents.reserve(size_t(argc));
    for (int i = 3; i < argc; ++i) {
        const std::string path = std::string(argv[2]) + "/" + argv[i];
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            zip_discard(archive);
            return 1;
        }
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        zip_source_t* source = zip_source_buffer(archive, contents.back().data(), contents.back().size(), 0);
        const zip_int64_t index = source ? zip_file_add(archive, argv[i], source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            std::fprintf(stderr, "%s: %s\n", argv[i], zip_strerror(archive));
            zip_discard(archive);
            return 1;
        }
        // A fixed time, so the same sources give the same file.
        zip_file_set_mtime(archive, zip_uint64_t(index), 1262304000, 0);
    }
    if (zip_close(archive) != 0) {
        std::fprintf(stderr, "%s: %s\n", argv[1], zip_strerror(archive));
        zip_discard(archive);
        return 1;
    }
    return 0;
}
