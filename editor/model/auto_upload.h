// auto_upload.h - what an edit asks of the upload rules once it has changed
// a block: "send it if automatic upload is on" (force 0) or "send both now"
// (force -1, after the confirmation when that is wanted).
#ifndef ZELK_MODEL_AUTO_UPLOAD_H
#define ZELK_MODEL_AUTO_UPLOAD_H

namespace zelk {

class AutoUpload {
public:
    virtual ~AutoUpload() = default;
    // which: 0 both blocks, 1 system block, 2 audio block.
    virtual void UploadToUnit(int which, int force) = 0;
};

}  // namespace zelk

#endif
