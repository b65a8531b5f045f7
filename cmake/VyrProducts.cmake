# The sixteen products of the family: one processor class, constructed with the product's number.
# Each product installs beside the others under its own name, plug-in code, bundle and LV2 URI.
set(VYR_PRODUCT_NAMES
  "Tolvaren" "VYR Compressor" "VYR Limiter" "VYR Saturation" "VYR Analogue Density"
  "VYR Clip Distortion" "VYR Tape Machine" "VYR Delay" "VYR Reverb" "VYR EQ Parametric"
  "VYR EQ Dynamic" "VYR Multiband Comp" "VYR Stereo Imager" "VYR Tovu" "VYR Signal Utility" "VYR Quarn")
set(VYR_PRODUCT_CODES
  Vtlv Vcmp Vlim Vsat Vden Vclp Vtap Vdly Vrvb Veqp Veqd Vmbc Vimg Vtov Vsig Vqrn)
set(VYR_PRODUCT_SLUGS
  tolvaren vyr-compressor vyr-limiter vyr-saturation vyr-analogue-density vyr-clip-distortion
  vyr-tape-machine vyr-delay vyr-reverb vyr-eq-parametric vyr-eq-dynamic vyr-multiband-comp
  vyr-stereo-imager vyr-tovu vyr-signal-utility vyr-quarn)

function(vyr_check_product number)
  if(NOT "${number}" MATCHES "^([0-9]|1[0-5])$")
    message(FATAL_ERROR "VYR product numbers run from 0 to 15 (got '${number}')")
  endif()
endfunction()

# Name, plug-in code and LV2 URI of product `number`.
function(vyr_product_info number name_var code_var uri_var)
  vyr_check_product(${number})
  list(GET VYR_PRODUCT_NAMES ${number} name)
  list(GET VYR_PRODUCT_CODES ${number} code)
  list(GET VYR_PRODUCT_SLUGS ${number} slug)
  set(${name_var} "${name}" PARENT_SCOPE)
  set(${code_var} "${code}" PARENT_SCOPE)
  set(${uri_var} "https://kaldun.audio/plugins/${slug}" PARENT_SCOPE)
endfunction()

# The definitions that name one product to a host. They stay off the shared code's interface, so
# the plug-in targets of another product can link the same compiled code under their own names.
set(VYR_PRODUCT_DEFINITIONS_REGEX "^JucePlugin_(Name|Desc|PluginCode|CFBundleIdentifier|AAXIdentifier|AUExportPrefix|AUExportPrefixQuoted|ARAFactoryID|ARADocumentArchiveID|LV2URI)=")

function(vyr_keep_product_definitions_private target)
  get_target_property(defs ${target} INTERFACE_COMPILE_DEFINITIONS)
  set(kept)
  set(moved)
  foreach(def IN LISTS defs)
    if(def MATCHES "${VYR_PRODUCT_DEFINITIONS_REGEX}")
      list(APPEND moved "${def}")
    else()
      # The framework re-exports the target's own definitions through a filter: keep those out of it.
      string(REPLACE "EXCLUDE,JucePlugin_Build_|JUCE_SHARED_CODE>" "EXCLUDE,JucePlugin_Build_|JUCE_SHARED_CODE|${VYR_PRODUCT_DEFINITIONS_REGEX}>" def "${def}")
      list(APPEND kept "${def}")
    endif()
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_COMPILE_DEFINITIONS "${kept}")
  get_target_property(formats ${target} JUCE_ACTIVE_PLUGIN_TARGETS)
  foreach(wrapper IN LISTS formats)
    target_compile_definitions(${wrapper} PRIVATE ${moved})
  endforeach()
endfunction()

# A further product's VST3, LV2 and Standalone, linked against the shared code already compiled for
# `shared_target`: only the plug-in entry point and the format wrappers are compiled for it.
function(vyr_add_product_plugin shared_target number)
  vyr_product_info(${number} name code uri)
  set(target VyrProduct${number})
  juce_add_plugin(${target}
    COMPANY_NAME "Kaldun"
    PRODUCT_NAME "${name}"
    PLUGIN_MANUFACTURER_CODE Kldn
    PLUGIN_CODE ${code}
    FORMATS ${VYR_FORMATS}
    IS_SYNTH FALSE
    NEEDS_MIDI_INPUT TRUE
    NEEDS_MIDI_OUTPUT FALSE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS TRUE
    COPY_PLUGIN_AFTER_BUILD FALSE
    LV2URI "${uri}"
    VST3_CATEGORIES Fx Mastering)
  # The framework's module switches and settings exactly as the shared code was compiled with them.
  target_compile_definitions(${target} PUBLIC
    "$<FILTER:$<TARGET_PROPERTY:${shared_target},COMPILE_DEFINITIONS>,EXCLUDE,^JucePlugin_|^JUCE_SHARED_CODE|^JUCE_STANDALONE_APPLICATION>"
    JucePlugin_LV2URI="${uri}")
  target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${shared_target},INCLUDE_DIRECTORIES>)
  target_link_libraries(${target} PRIVATE $<LINK_ONLY:${shared_target}>)

  set(entry "${CMAKE_CURRENT_BINARY_DIR}/products/VyrProductEntry${number}.cpp")
  file(WRITE "${entry}.in" "#define VYR_PRODUCT_NUMBER ${number}\n#include \"Core/ProductEntry.cpp\"\n")
  configure_file("${entry}.in" "${entry}" COPYONLY)
  get_target_property(wrappers ${target} JUCE_ACTIVE_PLUGIN_TARGETS)
  foreach(wrapper IN LISTS wrappers)
    # As an object of the plug-in itself, this entry point wins over the shared code's own.
    target_sources(${wrapper} PRIVATE "${entry}")
  endforeach()
  vyr_fix_lv2_scale_points(${target})
endfunction()

# The framework writes each discrete parameter's LV2 scale points normalised while the parameter's
# range is plain (a choice of N runs 0..N-1): rewrite them in the range's own values after the
# bundle's description is generated, so hosts that offer the list select the right entry.
function(vyr_fix_lv2_scale_points target)
  if(NOT TARGET ${target}_LV2)
    return()
  endif()
  add_dependencies(${target}_LV2 vyr_lv2_scale_points)
  add_custom_command(TARGET ${target}_LV2 POST_BUILD
    COMMAND vyr_lv2_scale_points "$<TARGET_FILE_DIR:${target}_LV2>/dsp.ttl"
    VERBATIM)
endfunction()
