// recording_gl.cpp - the GL 1.1 and GLU entry points the layer's drawing
// uses, defined here with the signatures of <GL/gl.h> and <GL/glu.h> so that
// they link in place of the real libraries. A GL call the drawing makes and
// this file lacks fails the link of the recording build, which is the point:
// nothing reaches a real GL by accident.
#include "recording_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iomanip>
#include <utility>

namespace recordinggl {

namespace {
std::vector<Call> &entries() {
  static std::vector<Call> recorded;
  return recorded;
}
} // namespace

const std::vector<Call> &calls() {
  return entries();
}

void clear() {
  entries().clear();
}

void record(std::string name, std::vector<double> args) {
  entries().push_back(Call{std::move(name), std::move(args)});
}

void PrintTo(const Call &call, std::ostream *out) {
  *out << call.name << '(' << std::setprecision(17);
  for (size_t i = 0; i < call.args.size(); ++i) {
    *out << (i == 0 ? "" : ", ") << call.args[i];
  }
  *out << ')';
}

} // namespace recordinggl

using recordinggl::record;

extern "C" {

void GLAPIENTRY glPushAttrib(GLbitfield mask) {
  record("glPushAttrib", {double(mask)});
}
void GLAPIENTRY glPopAttrib(void) {
  record("glPopAttrib");
}
void GLAPIENTRY glEnable(GLenum cap) {
  record("glEnable", {double(cap)});
}
void GLAPIENTRY glDisable(GLenum cap) {
  record("glDisable", {double(cap)});
}
void GLAPIENTRY glDepthMask(GLboolean flag) {
  record("glDepthMask", {double(flag)});
}
void GLAPIENTRY glBlendFunc(GLenum sfactor, GLenum dfactor) {
  record("glBlendFunc", {double(sfactor), double(dfactor)});
}
void GLAPIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  record("glColor4f", {red, green, blue, alpha});
}
void GLAPIENTRY glClearStencil(GLint s) {
  record("glClearStencil", {double(s)});
}
void GLAPIENTRY glStencilFunc(GLenum func, GLint ref, GLuint mask) {
  record("glStencilFunc", {double(func), double(ref), double(mask)});
}
void GLAPIENTRY glStencilOp(GLenum fail, GLenum zfail, GLenum zpass) {
  record("glStencilOp", {double(fail), double(zfail), double(zpass)});
}
void GLAPIENTRY glBegin(GLenum mode) {
  record("glBegin", {double(mode)});
}
void GLAPIENTRY glEnd(void) {
  record("glEnd");
}
void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  record("glVertex3d", {x, y, z});
}
void GLAPIENTRY glVertex2d(GLdouble x, GLdouble y) {
  record("glVertex2d", {x, y});
}
void GLAPIENTRY glMatrixMode(GLenum mode) {
  record("glMatrixMode", {double(mode)});
}
void GLAPIENTRY glPushMatrix(void) {
  record("glPushMatrix");
}
void GLAPIENTRY glPopMatrix(void) {
  record("glPopMatrix");
}
void GLAPIENTRY glLoadIdentity(void) {
  record("glLoadIdentity");
}
void GLAPIENTRY gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
  record("gluOrtho2D", {left, right, bottom, top});
}

} // extern "C"
