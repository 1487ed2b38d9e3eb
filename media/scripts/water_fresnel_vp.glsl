#version 120
// Water surface: passes the clip position on for projective lookups of the
// reflection and refraction pictures, and scrolls the ripple coordinates.
uniform mat4 worldViewProj;
uniform vec3 eyePosition;
uniform float timeVal;
uniform float scale;

varying vec4 projectionCoord;
varying vec3 noiseCoord;
varying vec3 eyeDir;
varying vec3 normalDir;

void main()
{
    gl_Position = worldViewProj * gl_Vertex;
    projectionCoord = gl_Position;
    noiseCoord = vec3((gl_MultiTexCoord0.xy + vec2(timeVal * 0.02, timeVal * 0.01)) * scale * 5.0, timeVal);
    // Not normalised here: the water is one quad thousands of units wide,
    // and unit vectors blended between its far corners stay nearly flat, so
    // the water would mirror everywhere and never show what lies beneath.
    // The difference itself blends exactly; the fragment normalises it.
    eyeDir = gl_Vertex.xyz - eyePosition;
    normalDir = gl_Normal;
}
